#include "gltf_file.h"

#include "files/json_nesting.h"
#include "files/regular_file.h"
#include "gltf_conformance.h"
#include "gltf_data_uri.h"
#include "gltf_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace fs = std::filesystem;

namespace gltf_file {
namespace {

constexpr uint32_t kGlbMagic = 0x46546C67;   // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr size_t kGlbHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;

uint32_t ReadU32(const std::vector<unsigned char>& bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, sizeof(value));
  return value;
}

// The binary container's header and chunks agree with the file: its length is the file's, the
// JSON chunk comes first and both chunks end inside the file.
bool CheckGlb(const std::vector<unsigned char>& bytes, std::string& error) {
  if (bytes.size() < kGlbHeaderBytes + kChunkHeaderBytes) {
    error = "is too short for a binary glTF file (" + std::to_string(bytes.size()) + " bytes)";
    return false;
  }
  if (ReadU32(bytes, 4) != 2) {
    error = "binary glTF version " + std::to_string(ReadU32(bytes, 4)) + " is not 2";
    return false;
  }
  if (ReadU32(bytes, 8) != bytes.size()) {
    error = "header length " + std::to_string(ReadU32(bytes, 8)) + " does not match the file's " +
            std::to_string(bytes.size()) + " bytes (truncated?)";
    return false;
  }
  size_t at = kGlbHeaderBytes;
  for (int chunk = 0; at < bytes.size(); ++chunk) {
    if (bytes.size() - at < kChunkHeaderBytes) {
      error = "chunk " + std::to_string(chunk) + " header runs past the end of the file";
      return false;
    }
    const uint32_t length = ReadU32(bytes, at);
    const uint32_t type = ReadU32(bytes, at + 4);
    if (length > bytes.size() - at - kChunkHeaderBytes) {
      error = "chunk " + std::to_string(chunk) + " of " + std::to_string(length) +
              " bytes runs past the end of the file";
      return false;
    }
    if ((chunk == 0 && (type != kJsonChunk || length == 0)) || (chunk == 1 && type != kBinChunk)) {
      error = chunk == 0 ? "the first chunk is not JSON" : "the second chunk is not binary data";
      return false;
    }
    at += kChunkHeaderBytes + length;
  }
  return true;
}

// The JSON of the file: all of a .gltf, the first chunk of a .glb (checked by CheckGlb).
std::string_view JsonText(const std::vector<unsigned char>& bytes, bool binary) {
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  if (!binary) return {text, bytes.size()};
  return {text + kGlbHeaderBytes + kChunkHeaderBytes, ReadU32(bytes, kGlbHeaderBytes)};
}

// Where external files may come from, and why one was refused.
struct Folder {
  fs::path root;  // canonical
  std::string refusal;
};

// The URI part tinygltf joined to the folder, if the path lies inside it and names a plain
// relative file: no absolute path, no empty or ".." part, nothing that leaves the folder through
// a link.
bool InsideFolder(const std::string& path, Folder& folder) {
  const std::string prefix = folder.root.string() + "/";
  // tinygltf also looks in the current folder: never there.
  if (path.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string uri = path.substr(prefix.size());
  bool plain = !uri.empty() && uri.front() != '/' && uri.find('\\') == std::string::npos;
  for (const fs::path& part : fs::path(uri)) plain = plain && !part.empty() && part != ".." && part != ".";
  if (plain && uri.find("//") != std::string::npos) plain = false;
  std::error_code code;
  const fs::path resolved = fs::weakly_canonical(path, code);
  if (plain && (code || resolved.string().compare(0, prefix.size(), prefix) != 0)) plain = false;
  if (!plain && folder.refusal.empty())
    folder.refusal = "the URI \"" + uri + "\" is refused: only files inside the scene's folder are read";
  return plain;
}

bool FileExists(const std::string& path, void* user) {
  std::error_code code;
  return InsideFolder(path, *static_cast<Folder*>(user)) && fs::is_regular_file(path, code);
}

// No expansion of any kind: the path is used as it stands.
std::string ExpandNothing(const std::string& path, void*) { return path; }

bool ReadFile(std::vector<unsigned char>* out, std::string* error, const std::string& path, void* user) {
  std::string problem;
  if (!InsideFolder(path, *static_cast<Folder*>(user)) ||
      !regular_file::ReadWhole(path, kMaxFileBytes, *out, problem)) {
    if (error) *error = problem.empty() ? "refused" : problem;
    return false;
  }
  return true;
}

bool WriteNothing(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
  if (error) *error = "the importer writes no files";
  return false;
}

bool LoadImage(tinygltf::Image* image, const int index, std::string* error, std::string*, int, int,
               const unsigned char* bytes, int size, void*) {
  int width = 0;
  int height = 0;
  std::string problem;
  if (size <= 0 ||
      !gltf_image::Decode(bytes, static_cast<size_t>(size), image->image, width, height, problem)) {
    if (error)
      *error += "images[" + std::to_string(index) + "]: " + (problem.empty() ? "is empty" : problem) + "\n";
    return false;
  }
  image->width = width;
  image->height = height;
  image->component = 4;
  image->bits = 8;
  image->pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  return true;
}

// The loader's message on one line, without the JSON library's exception tags
// ("[json.exception.parse_error.101] "), which tell a user nothing.
std::string FirstLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  std::replace(text.begin(), text.end(), '\n', ';');
  const std::string tag = "[json.exception.";
  for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at)) {
    const size_t end = text.find("] ", at);
    if (end == std::string::npos) break;
    text.erase(at, end + 2 - at);
  }
  return text;
}

}  // namespace

bool HasGltfSuffix(const std::string& path) {
  std::string suffix = fs::path(path).extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return suffix == ".gltf" || suffix == ".glb";
}

bool Load(const std::string& path, tinygltf::Model& model, std::string& warnings, std::string& error) {
  std::vector<unsigned char> bytes;
  std::string problem;
  if (!regular_file::ReadWhole(path, kMaxFileBytes, bytes, problem)) {
    error = path + ": " + problem;
    return false;
  }
  std::error_code code;
  const fs::path folder = fs::canonical(fs::absolute(path).parent_path(), code);
  if (code) {
    error = path + ": its folder cannot be resolved";
    return false;
  }
  return LoadBytes(path, bytes, folder.string(), model, warnings, error);
}

bool LoadBytes(const std::string& name, const std::vector<unsigned char>& bytes,
               const std::string& folderPath, tinygltf::Model& model, std::string& warnings,
               std::string& error) {
  std::string problem;
  const bool binary = bytes.size() >= 4 && ReadU32(bytes, 0) == kGlbMagic;
  if (bytes.empty()) problem = "is empty";
  if (problem.empty() && binary) CheckGlb(bytes, problem);
  if (problem.empty()) json_nesting::Check(JsonText(bytes, binary), problem);
  if (!problem.empty()) {
    error = name + ": " + problem;
    return false;
  }
  Folder folder{fs::path(folderPath), {}};
  tinygltf::TinyGLTF loader;
  loader.SetFsCallbacks({&FileExists, &ExpandNothing, &ReadFile, &WriteNothing, &folder});
  loader.SetImageLoader(&LoadImage, nullptr);
  std::string loadError;
  const bool loaded = binary
                          ? loader.LoadBinaryFromMemory(&model, &loadError, &warnings, bytes.data(),
                                                        static_cast<unsigned int>(bytes.size()), folderPath)
                          : loader.LoadASCIIFromString(&model, &loadError, &warnings,
                                                       reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<unsigned int>(bytes.size()), folderPath);
  if (!folder.refusal.empty()) {
    error = name + ": " + gltf_data_uri::Bounded(folder.refusal);
    return false;
  }
  if (!loaded) {
    // A buffer that disagrees with its length is named; the parser would quote its whole URI.
    if (!gltf_data_uri::CheckBuffers(JsonText(bytes, binary), problem)) {
      error = name + ": " + problem;
      return false;
    }
    error =
        name + ": " +
        (loadError.empty() ? "is not a glTF 2.0 file"
                           : "not a usable glTF 2.0 file: " + gltf_data_uri::Bounded(FirstLine(loadError)));
    return false;
  }
  if (!gltf_conformance::Check(std::string(JsonText(bytes, binary)), model, problem)) {
    error = name + ": " + problem;
    return false;
  }
  return true;
}

}  // namespace gltf_file
