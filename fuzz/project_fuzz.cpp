// libFuzzer target: any bytes as the text of a project file, read against the render settings' and
// the module's own tag and effect descriptions as `orvex360 render --project` reads it; what reads
// is written back as text.
#include "project/project_file.h"
#include "project/render_settings_record.h"
#include "runtime/description_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct ModuleSchemas {
  DescriptionRecord tag;
  DescriptionRecord effect;
};

const ModuleSchemas& Schemas() {
  static const ModuleSchemas schemas = [] {
    ModuleSchemas read;
    std::string error;
    if (!ReadDescriptionFile(ORVEX_RES_DIR "/description/OrvexTag.json", read.tag, error) ||
        !ReadDescriptionFile(ORVEX_RES_DIR "/description/Orvex360Cam.json", read.effect, error))
      std::abort();  // the fuzzer's own set-up failed, not the reader
    return read;
  }();
  return schemas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const project_file::Schemas schemas{RenderSettingsRecord(), Schemas().tag, Schemas().effect};
  project_file::Project project;
  std::string error;
  if (!project_file::FromText(text, schemas, "/nonexistent", "fuzz.json", project, error)) return 0;
  std::string written;
  project_file::ToText(project, schemas, "/nonexistent", written, error);
  return 0;
}
