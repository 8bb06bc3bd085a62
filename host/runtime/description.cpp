#include "c4d_description.h"

#include "console.h"
#include "description_file.h"
#include "description_record.h"
#include "plugin_registry.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace {
const PluginEntry* FindByDescription(const std::string& resourceName, PluginKind kind) {
  for (const auto& entry : PluginRegistry::Instance().Entries())
    if (entry->kind == kind && entry->descriptionName == resourceName) return entry.get();
  return nullptr;
}

const PluginEntry* FindNodeByDescription(const std::string& resourceName) {
  const PluginEntry* entry = FindByDescription(resourceName, PluginKind::VideoPost);
  return entry ? entry : FindByDescription(resourceName, PluginKind::Tag);
}

// Custom GUIs are named by their resource symbol in the file; the panel needs their plugin ID.
void ResolveCustomGuis(DescriptionRecord& record) {
  for (DescriptionElement& element : record.elements) {
    if (element.customGui.empty()) continue;
    if (const PluginEntry* gui = FindByDescription(element.customGui, PluginKind::CustomGui))
      element.properties.SetInt32(DESC_CUSTOMGUI, gui->id);
    else
      console::Print("[host] description \"" + record.resourceName + "\": custom GUI \"" + element.customGui +
                     "\" of " + element.symbol + " is not registered; the standard control stands in");
  }
}

// Parsed files by path, kept while the file stays unchanged: a broken file is reported once.
struct ParsedFile {
  std::filesystem::file_time_type time;
  std::uintmax_t size = 0;
  bool parsed = false;
  DescriptionRecord record;
};

bool ReadOnce(const std::string& path, DescriptionRecord& record) {
  static std::mutex guard;
  static std::map<std::string, ParsedFile> files;
  std::error_code ignored;
  const auto time = std::filesystem::last_write_time(path, ignored);
  const auto size = std::filesystem::file_size(path, ignored);
  const std::lock_guard lock(guard);
  const auto found = files.find(path);
  if (found == files.end() || found->second.time != time || found->second.size != size) {
    ParsedFile file{time, size, false, {}};
    std::string error;
    file.parsed = ReadDescriptionFile(path, file.record, error);
    if (!file.parsed)
      console::Print("[host] description \"" + record.resourceName + "\" not loaded: " + error);
    files[path] = std::move(file);
  }
  const ParsedFile& file = files[path];
  record.elements = file.record.elements;
  return file.parsed;
}

bool LoadFromFolder(const std::string& resFolder, const std::string& resourceName,
                    DescriptionRecord& record) {
  record.resourceName = resourceName;
  record.elements.clear();
  if (resFolder.empty()) {
    console::Print("[host] description \"" + resourceName +
                   "\" not loaded: no resource folder is known for it");
    return false;
  }
  record.file = (std::filesystem::path(resFolder) / "description" / (resourceName + ".json")).string();
  if (!ReadOnce(record.file, record)) return false;
  ResolveCustomGuis(record);
  return true;
}
}  // namespace

Description::Description() : record_(new DescriptionRecord()) {}
Description::~Description() { delete record_; }

Bool Description::LoadDescription(Int32 nodeType) {
  const PluginEntry* entry = PluginRegistry::Instance().Find(nodeType);
  if (!entry || entry->descriptionName.empty()) {
    console::Print("[host] no description is registered for node type " + std::to_string(nodeType));
    return false;
  }
  return LoadFromFolder(entry->resFolder, entry->descriptionName, *record_);
}

Bool Description::LoadDescription(const String& resourceName) {
  const std::string name = resourceName.GetStdString();
  const PluginEntry* entry = FindNodeByDescription(name);
  const std::string& folder = entry ? entry->resFolder : PluginRegistry::Instance().CurrentResFolder();
  return LoadFromFolder(folder, name, *record_);
}

BaseContainer* Description::GetParameterI(const DescID& id, void* /*arrayOut*/) {
  DescriptionElement* element = record_->Find(id[0]);
  return element ? &element->properties : nullptr;
}
