// libFuzzer target: any bytes as a .gltf or .glb file, then every accessor read as the importer
// reads them. External files resolve in an empty folder of the fuzzer's own.
#include "gltf_accessor.h"
#include "gltf_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string& EmptyFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/orvex-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/nonexistent");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  tinygltf::Model model;
  std::string warnings;
  std::string error;
  if (!gltf_file::LoadBytes("fuzz.gltf", bytes, EmptyFolder(), model, warnings, error)) return 0;
  for (size_t i = 0; i < model.accessors.size(); ++i) {
    for (int components = 1; components <= 4; ++components) {
      std::vector<float> values;
      gltf_accessor::ReadFloats(model, static_cast<int>(i), components, values, error);
    }
    std::vector<uint32_t> indices;
    gltf_accessor::ReadIndices(model, static_cast<int>(i), indices, error);
  }
  return 0;
}
