#include "c4d_general.h"

#include "console.h"
#include "files/json_nesting.h"
#include "files/regular_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>

namespace {
const C4D_HostTable* g_hostTable = nullptr;
constexpr const char* kStringTable = "strings_en-US/strings.json";
constexpr std::uintmax_t kMaxStringTableBytes = std::uintmax_t{16} << 20;  // real ones hold a few KB
}  // namespace

Int32 InitOS(void* hostTable) {
  g_hostTable = static_cast<const C4D_HostTable*>(hostTable);
  return g_hostTable ? g_hostTable->version : 0;
}

struct ResourceRecord {
  std::string folder;
  std::map<Int32, std::string> strings;
};

GeResource::GeResource() = default;
GeResource::~GeResource() { Free(); }

namespace {
// Reads {"strings": {"10000": "text", ...}}; false with a console line naming the problem.
bool ReadStringTable(const std::filesystem::path& file, std::map<Int32, std::string>& strings) {
  std::string text;
  if (std::string problem; !regular_file::ReadText(file.string(), kMaxStringTableBytes, text, problem) ||
                           !json_nesting::Check(text, problem)) {
    console::Print("[host] string table " + file.string() + ": " + problem);
    return false;
  }
  const nlohmann::json table = nlohmann::json::parse(text, nullptr, false);
  if (table.is_discarded() || !table.contains("strings") || !table["strings"].is_object()) {
    console::Print("[host] string table is not valid: " + file.string());
    return false;
  }
  for (const auto& [key, value] : table["strings"].items()) {
    char* end = nullptr;
    const long id = std::strtol(key.c_str(), &end, 10);
    if (*end != '\0' || !value.is_string()) {
      console::Print("[host] string table entry \"" + key + "\" ignored in " + file.string());
      continue;
    }
    strings[static_cast<Int32>(id)] = value.get<std::string>();
  }
  return true;
}
}  // namespace

Bool GeResource::Init(const Filename& modulePath) {
  Free();
  const std::filesystem::path res = std::filesystem::path(modulePath.GetString().GetStdString()) / "res";
  if (!std::filesystem::is_directory(res)) {
    console::Print("[host] resource folder missing: " + res.string());
    return false;
  }
  auto record = std::make_unique<ResourceRecord>();
  record->folder = res.string();
  if (!ReadStringTable(res / kStringTable, record->strings)) return false;
  record_ = record.release();
  return true;
}

void GeResource::Free() {
  delete record_;
  record_ = nullptr;
}

Bool GeResource::IsLoaded() const { return record_ != nullptr; }

String GeResource::LoadString(Int32 id) const {
  if (!record_) return String();
  const auto found = record_->strings.find(id);
  if (found != record_->strings.end()) return String(found->second);
  console::Print("[host] string resource " + std::to_string(id) + " not found in " + record_->folder);
  return String();
}
