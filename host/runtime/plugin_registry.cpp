#include "plugin_registry.h"

#include "console.h"
#include "description_file.h"

#include <algorithm>
#include <utility>

const char* PluginKindName(PluginKind kind) {
  switch (kind) {
    case PluginKind::VideoPost:
      return "video post";
    case PluginKind::Tag:
      return "tag";
    case PluginKind::Command:
      return "command";
    case PluginKind::CustomGui:
      return "custom GUI";
  }
  return "unknown";
}

PluginEntry::PluginEntry(PluginEntry&& other) noexcept
    : kind(other.kind),
      id(other.id),
      name(std::move(other.name)),
      info(other.info),
      allocator(other.allocator),
      descriptionName(std::move(other.descriptionName)),
      icon(std::exchange(other.icon, nullptr)),
      help(std::move(other.help)),
      command(std::exchange(other.command, nullptr)),
      customGui(std::exchange(other.customGui, nullptr)),
      resFolder(std::move(other.resFolder)),
      moduleId(other.moduleId) {}

PluginEntry::~PluginEntry() {
  BaseBitmap::Free(icon);
  delete command;
  delete customGui;
}

PluginRegistry& PluginRegistry::Instance() {
  static PluginRegistry registry;
  return registry;
}

void PluginRegistry::BeginModule(Int32 moduleId, const std::string& resFolder) {
  currentModule_ = moduleId;
  currentResFolder_ = resFolder;
  lastRefusal_.clear();
}

namespace {
std::string RefusalLine(const PluginEntry& entry, const std::string& why) {
  return "registration of " + std::string(PluginKindName(entry.kind)) + " " + std::to_string(entry.id) +
         " \"" + entry.name + "\" refused: " + why;
}

bool IsNode(const PluginEntry& entry) {
  return entry.kind == PluginKind::VideoPost || entry.kind == PluginKind::Tag;
}

std::string MissingPart(const PluginEntry& entry) {
  if (IsNode(entry) && !entry.allocator) return "it has no factory";
  if (entry.kind == PluginKind::Command && !entry.command) return "it has no command object";
  if (entry.kind == PluginKind::CustomGui && !entry.customGui) return "it has no GUI object";
  return {};
}

// A node registered from a module's folder must find its description there: without it every
// parameter would be missing from panels, project files and the command line.
std::string UnreadableDescription(const PluginEntry& entry, const std::string& resFolder) {
  if (!IsNode(entry) || entry.descriptionName.empty() || resFolder.empty()) return {};
  DescriptionRecord record;
  std::string error;
  const std::string path = resFolder + "/description/" + entry.descriptionName + ".json";
  return ReadDescriptionFile(path, record, error) ? std::string()
                                                  : "its description cannot be read: " + error;
}
}  // namespace

Bool PluginRegistry::Add(PluginEntry entry) {
  std::string why = MissingPart(entry);
  if (why.empty() && entry.id <= 0) why = "the ID is not positive";
  if (why.empty() && Find(entry.id)) why = "the ID is already registered";
  if (why.empty()) why = UnreadableDescription(entry, currentResFolder_);
  if (!why.empty()) {
    lastRefusal_ = RefusalLine(entry, why);
    console::Print("[host] " + lastRefusal_);
    return false;
  }
  entry.moduleId = currentModule_;
  entry.resFolder = currentResFolder_;
  entries_.push_back(std::make_unique<PluginEntry>(std::move(entry)));
  return true;
}

Bool PluginRegistry::InstallLibrary(Int32 id, Int32 version, Int32 size, const CustomGuiLib* library) {
  const bool taken = std::any_of(libraries_.begin(), libraries_.end(),
                                 [id](const InstalledLibrary& installed) { return installed.id == id; });
  if (taken || size <= 0 || version <= 0) {
    console::Print("[host] library " + std::to_string(id) +
                   " not installed: " + (taken ? "the ID is already installed" : "bad size or version"));
    return false;
  }
  libraries_.push_back({id, currentModule_, library});
  return true;
}

const CustomGuiLib* PluginRegistry::Library(Int32 id) const {
  for (const InstalledLibrary& library : libraries_)
    if (library.id == id) return library.record;
  return nullptr;
}

const PluginEntry* PluginRegistry::Find(Int32 id) const {
  for (const auto& entry : entries_)
    if (entry->id == id) return entry.get();
  return nullptr;
}

Bool PluginRegistry::IsInstanceOf(Int32 type, Int32 base) const {
  const PluginEntry* entry = Find(type);
  if (!entry) return false;
  return (entry->kind == PluginKind::VideoPost && base == VPbase) ||
         (entry->kind == PluginKind::Tag && base == Tbase);
}

void PluginRegistry::RemoveModule(Int32 moduleId) {
  std::erase_if(entries_, [moduleId](const auto& entry) { return entry->moduleId == moduleId; });
  std::erase_if(libraries_, [moduleId](const InstalledLibrary& lib) { return lib.moduleId == moduleId; });
}

void PluginRegistry::Clear() {
  entries_.clear();
  libraries_.clear();
}

// ---- the registration calls modules make

namespace {
BaseBitmap* CopyIcon(BaseBitmap* icon) { return icon && !icon->IsEmpty() ? icon->GetClone() : nullptr; }

Bool RegisterNodePlugin(PluginKind kind, Int32 id, const String& name, Int32 info, DataAllocator allocator,
                        const String& description, BaseBitmap* icon) {
  PluginEntry entry;
  entry.kind = kind;
  entry.id = id;
  entry.name = name.GetStdString();
  entry.info = info;
  entry.allocator = allocator;
  entry.descriptionName = description.GetStdString();
  entry.icon = CopyIcon(icon);
  return PluginRegistry::Instance().Add(std::move(entry));
}
}  // namespace

Bool RegisterVideoPostPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                             const String& description, Int32 /*diskLevel*/, Int32 /*priority*/,
                             BaseBitmap* icon) {
  return RegisterNodePlugin(PluginKind::VideoPost, id, name, info, allocator, description, icon);
}

Bool RegisterTagPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                       const String& description, BaseBitmap* icon, Int32 /*diskLevel*/) {
  return RegisterNodePlugin(PluginKind::Tag, id, name, info, allocator, description, icon);
}

Bool RegisterCommandPlugin(Int32 id, const String& name, Int32 info, BaseBitmap* icon, const String& help,
                           CommandData* data) {
  PluginEntry entry;
  entry.kind = PluginKind::Command;
  entry.id = id;
  entry.name = name.GetStdString();
  entry.info = info;
  entry.icon = CopyIcon(icon);
  entry.help = help.GetStdString();
  entry.command = data;  // the host owns the command object from here on, even when refusing it
  return PluginRegistry::Instance().Add(std::move(entry));
}

Bool RegisterCustomGuiPlugin(const String& name, Int32 info, CustomGuiData* data) {
  PluginEntry entry;
  entry.kind = PluginKind::CustomGui;
  entry.name = name.GetStdString();
  entry.info = info;
  entry.customGui = data;
  if (data) {
    entry.id = data->GetId();
    entry.descriptionName = data->GetResourceSym() ? data->GetResourceSym() : "";
  }
  return PluginRegistry::Instance().Add(std::move(entry));
}

void FillBaseCustomGui(CustomGuiLib& library) {
  library = CustomGuiLib();
  library.size = sizeof(CustomGuiLib);
  library.SetData = [](iCustomGui* gui, const TriState<GeData>& value) -> Bool {
    return gui && gui->SetData(value);
  };
  library.GetData = [](iCustomGui* gui) { return gui ? gui->GetData() : TriState<GeData>{}; };
  library.Redraw = [](iCustomGui* gui) {
    if (gui) gui->CustomGuiRedraw();
  };
}

Bool InstallLibrary(Int32 id, CustomGuiLib* library, Int32 version, Int32 size) {
  if (!library || size != library->size || !library->SetData || !library->GetData || !library->Redraw) {
    console::Print("[host] library " + std::to_string(id) +
                   " not installed: its record lacks the standard functions (FillBaseCustomGui) or its size");
    return false;
  }
  return PluginRegistry::Instance().InstallLibrary(id, version, size, library);
}

Bool ExecuteCommand(Int32 commandId, BaseDocument* doc) {
  const PluginEntry* entry = PluginRegistry::Instance().Find(commandId);
  if (!entry || !entry->command) {
    console::Print("[host] no command with ID " + std::to_string(commandId));
    return false;
  }
  return entry->command->Execute(doc);
}

Bool CallCommandById(Int32 commandId) { return ExecuteCommand(commandId, GetActiveDocument()); }
