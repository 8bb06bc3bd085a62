#pragma once

#include "c4d_string.h"

// The table the host hands to the module at system start; its first field is the host API version.
struct C4D_HostTable {
  Int32 version = 0;
  const char* hostName = nullptr;
};

// Keeps the host's table for later calls and answers the host's API version.
Int32 InitOS(void* hostTable);

// Prints one line on the host console.
void GePrint(const String& line);

// The module's own folder and string table; answered by the module's entry unit, which owns both.
const Filename& GeGetPluginPath();
String GeLoadString(Int32 id);

// The strings and descriptions of a module's res folder.
struct ResourceRecord;
class GeResource {
 public:
  GeResource();
  ~GeResource();
  GeResource(const GeResource&) = delete;
  GeResource& operator=(const GeResource&) = delete;

  // Loads the res folder beside the module; false when it or its string table is missing.
  [[nodiscard]] Bool Init(const Filename& modulePath);
  void Free();
  Bool IsLoaded() const;
  String LoadString(Int32 id) const;

 private:
  ResourceRecord* record_ = nullptr;
};

// Opens a web page in the user's browser.
void GeOpenHTML(const String& address);

enum GEMB : Int32 { GEMB_OK = 0, GEMB_YESNO = 4, GEMB_ICONQUESTION = 32 };
enum GEMB_R : Int32 { GEMB_R_OK = 1, GEMB_R_YES = 6, GEMB_R_NO = 7 };
GEMB_R GeOutString(const String& text, Int32 flags);

Bool CallCommand(Int32 commandId);
