#pragma once

#include "c4d.h"

#include <memory>
#include <string>
#include <vector>

enum class PluginKind { VideoPost, Tag, Command, CustomGui };

const char* PluginKindName(PluginKind kind);

// One registered plugin, as the host keeps it.
struct PluginEntry {
  PluginKind kind = PluginKind::Command;
  Int32 id = 0;
  std::string name;
  Int32 info = 0;
  DataAllocator allocator = nullptr;   // node plugins
  std::string descriptionName;         // node plugins and custom GUIs
  BaseBitmap* icon = nullptr;          // owned copy; null when none was given
  std::string help;                    // commands
  CommandData* command = nullptr;      // owned
  CustomGuiData* customGui = nullptr;  // owned
  std::string resFolder;               // the res folder of the module that registered it
  Int32 moduleId = 0;

  PluginEntry() = default;
  PluginEntry(PluginEntry&& other) noexcept;
  PluginEntry& operator=(PluginEntry&&) = delete;
  ~PluginEntry();
};

// Every plugin and library the loaded modules registered, in registration order.
class PluginRegistry {
 public:
  static PluginRegistry& Instance();

  // Which module is registering right now (set by the loader around its start calls).
  void BeginModule(Int32 moduleId, const std::string& resFolder);
  Int32 CurrentModule() const { return currentModule_; }
  const std::string& CurrentResFolder() const { return currentResFolder_; }

  // False (with a console line saying why) when the ID is taken, the entry is incomplete, or a node
  // registered from a module's folder finds no readable description there.
  Bool Add(PluginEntry entry);
  // The console line of the latest refused registration; empty when none was refused.
  const std::string& LastRefusal() const { return lastRefusal_; }
  Bool InstallLibrary(Int32 id, Int32 version, Int32 size, const CustomGuiLib* library);
  // The record installed under `id`; null when none is.
  const CustomGuiLib* Library(Int32 id) const;

  const PluginEntry* Find(Int32 id) const;
  const std::vector<std::unique_ptr<PluginEntry>>& Entries() const { return entries_; }
  Bool IsInstanceOf(Int32 type, Int32 base) const;

  // Frees the module's command and GUI objects; must run while the module is still loaded.
  void RemoveModule(Int32 moduleId);
  void Clear();

 private:
  std::vector<std::unique_ptr<PluginEntry>> entries_;
  struct InstalledLibrary {
    Int32 id = 0;
    Int32 moduleId = 0;
    const CustomGuiLib* record = nullptr;  // the module's, alive while the module is loaded
  };
  std::vector<InstalledLibrary> libraries_;
  Int32 currentModule_ = 0;
  std::string currentResFolder_;
  std::string lastRefusal_;
};

// Runs the command registered under `commandId` in `doc`; false with a console line when there is
// no such command.
Bool ExecuteCommand(Int32 commandId, BaseDocument* doc);
