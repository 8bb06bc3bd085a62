#include "plugin_loader.h"

#include "console.h"
#include "library_file_check.h"
#include "plugin_registry.h"

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
constexpr Int32 kActionSystemStart = 1;
constexpr Int32 kActionPluginStart = 2;
constexpr Int32 kActionShutdown = 3;
constexpr Int32 kActionMessage = 6;
constexpr Int32 kMessagePriority = 0;
constexpr Int32 kMessageResource = 1;

Int32 g_nextModuleId = 1;

// The module library of a plugin folder: the one shared library in it; empty, with `unreadable` saying
// why when the folder cannot be listed (a folder without permission is not one without a library).
std::string FindLibrary(const fs::path& folder, std::string& unreadable) {
  std::error_code code;
  for (fs::directory_iterator item(folder, code), end; !code && item != end; item.increment(code))
    if (item->is_regular_file() && item->path().extension() == ".so") return item->path().string();
  if (code) unreadable = code.message();
  return {};
}

std::string FindLibrary(const fs::path& folder) {
  std::string ignored;
  return FindLibrary(folder, ignored);
}
}  // namespace

LoadedModule::~LoadedModule() { Shutdown(); }

std::unique_ptr<LoadedModule> LoadedModule::Open(const std::string& folder, std::string& error) {
  std::unique_ptr<LoadedModule> module(new LoadedModule());
  module->folder_ = fs::absolute(folder).lexically_normal().string();
  module->id_ = g_nextModuleId++;
  if (!module->OpenLibrary(error)) return nullptr;
  return module;
}

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::string& folder, std::string& error,
                                                 Int32 hostVersion) {
  std::unique_ptr<LoadedModule> module = Open(folder, error);
  if (!module || !module->Start(hostVersion, error)) return nullptr;
  return module;
}

bool LoadedModule::OpenLibrary(std::string& error) {
  if (!fs::is_directory(folder_)) {
    error = "plugin folder not found: " + folder_;
    return false;
  }
  library_ = FindLibrary(folder_);
  if (library_.empty()) {
    error = "no module library (.so) in plugin folder " + folder_;
    return false;
  }
  if (!fs::is_directory(fs::path(folder_) / "res")) {
    error = "plugin folder " + folder_ + " has no res/ folder";
    return false;
  }
  if (!CheckLibraryFile(library_, error)) return false;
  handle_ = dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    error = "cannot load module " + library_ + ": " + dlerror();
    return false;
  }
  entry_ = reinterpret_cast<EntryPoint>(dlsym(handle_, "c4d_main"));
  if (!entry_) {
    error = "module " + library_ + " has no c4d_main entry point";
    return false;
  }
  return true;
}

Int32 LoadedModule::Call(Int32 action, void* p1, void* p2, void* p3) const {
  return entry_ ? entry_(action, p1, p2, p3) : NOTOK;
}

Int32 LoadedModule::SendMessage(Int32 id, void* data) const {
  return Call(kActionMessage, reinterpret_cast<void*>(static_cast<std::intptr_t>(id)), data);
}

bool LoadedModule::Start(Int32 hostVersion, std::string& error) {
  table_.version = hostVersion;
  table_.hostName = "orvex360 stand-in host";
  modulePath_ = Filename(String(folder_));
  PluginRegistry::Instance().BeginModule(id_, (fs::path(folder_) / "res").string());
  if (Call(kActionSystemStart, &table_, nullptr, &modulePath_) != 1) {
    error = "module " + library_ + " refused to start (host API version " + std::to_string(hostVersion) + ")";
    return false;
  }
  started_ = true;
  SendMessage(kMessagePriority, &priority_);
  if (SendMessage(kMessageResource) != 1) {
    error = "module " + library_ + " could not load its resources from " + folder_ + "/res";
    return false;
  }
  if (Call(kActionPluginStart) != 1) {
    const std::string& refusal = PluginRegistry::Instance().LastRefusal();
    error =
        "module " + library_ + " failed to register its plugins" + (refusal.empty() ? "" : ": " + refusal);
    return false;
  }
  PluginRegistry::Instance().BeginModule(0, {});
  return true;
}

void LoadedModule::Shutdown() {
  if (started_) Call(kActionShutdown);
  started_ = false;
  // The module's command and GUI objects must go while its code is still mapped.
  PluginRegistry::Instance().RemoveModule(id_);
  PluginRegistry::Instance().BeginModule(0, {});
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

std::vector<std::unique_ptr<LoadedModule>> LoadPlugins(const std::string& pluginsFolder,
                                                       std::vector<std::string>& errors,
                                                       std::vector<std::string>& skipped) {
  std::vector<std::unique_ptr<LoadedModule>> modules;
  std::vector<fs::path> folders;
  if (!FindLibrary(pluginsFolder).empty()) {
    folders.push_back(pluginsFolder);
  } else {
    // A folder without a module library is no plugin (an empty one, notes, a version control
    // folder): the host passes it by, as it passes by any file that is not a plugin.
    std::error_code unreadable;
    fs::directory_iterator items(pluginsFolder, unreadable);
    if (unreadable) {
      errors.push_back("cannot read the plugins folder " + pluginsFolder + ": " + unreadable.message());
      return modules;
    }
    for (const auto& item : items) {
      if (!item.is_directory()) continue;
      std::string unreadable;
      if (!FindLibrary(item.path(), unreadable).empty())
        folders.push_back(item.path());
      else if (!unreadable.empty())
        skipped.push_back(item.path().string() + ": cannot be read (" + unreadable + "); skipped");
      else
        skipped.push_back(item.path().string() + ": no module library (.so), not a plugin folder; skipped");
    }
    if (folders.empty()) errors.push_back("no plugin folders in " + pluginsFolder);
  }
  for (const fs::path& folder : folders) {
    std::string error;
    if (auto module = LoadedModule::Load(folder.string(), error))
      modules.push_back(std::move(module));
    else
      errors.push_back(error);
  }
  return modules;
}
