// libFuzzer target: any bytes as a description file of a module's res folder.
#include "runtime/description_file.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DescriptionRecord record;
  std::string error;
  ParseDescriptionText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json", record,
                       error);
  return 0;
}
