#pragma once

#include "c4d.h"

#include <memory>
#include <string>
#include <vector>

// The API version the stand-in host announces to modules.
constexpr Int32 kHostApiVersion = 16050;

// A module loaded from a plugin folder (its library with res/ beside it), started in the host's order.
class LoadedModule {
 public:
  using EntryPoint = Int32 (*)(Int32 action, void* p1, void* p2, void* p3);

  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loads and starts the module; null with `error` set when anything fails.
  static std::unique_ptr<LoadedModule> Load(const std::string& folder, std::string& error,
                                            Int32 hostVersion = kHostApiVersion);

  // Loads the library without starting it, for driving the entry protocol by hand.
  static std::unique_ptr<LoadedModule> Open(const std::string& folder, std::string& error);

  // Calls the entry point directly (tests drive the protocol with it).
  Int32 Call(Int32 action, void* p1 = nullptr, void* p2 = nullptr, void* p3 = nullptr) const;
  Int32 SendMessage(Int32 id, void* data = nullptr) const;

  const std::string& Folder() const { return folder_; }
  const std::string& Library() const { return library_; }
  Int32 Id() const { return id_; }
  Int32 Priority() const { return priority_; }

 private:
  LoadedModule() = default;
  bool OpenLibrary(std::string& error);
  bool Start(Int32 hostVersion, std::string& error);
  void Shutdown();

  std::string folder_;
  std::string library_;
  void* handle_ = nullptr;
  EntryPoint entry_ = nullptr;
  Int32 id_ = 0;
  Int32 priority_ = 0;
  bool started_ = false;
  C4D_HostTable table_;
  Filename modulePath_;
};

// Loads every plugin folder found in `pluginsFolder` (or that folder itself when it is one); a folder
// in it that holds no module library is passed by with a line in `skipped`.
std::vector<std::unique_ptr<LoadedModule>> LoadPlugins(const std::string& pluginsFolder,
                                                       std::vector<std::string>& errors,
                                                       std::vector<std::string>& skipped);
