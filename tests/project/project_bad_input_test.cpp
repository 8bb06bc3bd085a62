#include "linked_module.h"
#include "project/render_project.h"
#include "render_test_support.h"

#include <fstream>

// Project files that are broken, hostile or from elsewhere are refused with one message that names
// the file and the key.

namespace {

const std::string kHead = R"({"format": "orvex360 project", "version": 2, )";

struct BadProject {
  std::string text;
  const char* message;
};

class ProjectBadInput : public LinkedModuleTest {
 protected:
  std::string Refusal(const std::string& text) {
    ProjectSchemas schemas;
    std::string error;
    EXPECT_TRUE(schemas.Load(error)) << error;
    project_file::Project project;
    EXPECT_FALSE(project_file::FromText(text, schemas.Get(), "/p", "p.json", project, error)) << text;
    return error;
  }
};

TEST_F(ProjectBadInput, EachFaultIsNamed) {
  const BadProject cases[] = {
      {R"({"format": "orvex360 project", "version": 1, "tag": {)", "not JSON, or cut short"},
      {"[1, 2]", "a project file is a JSON object"},
      {R"({"version": 1})", "format: must be \"orvex360 project\""},
      {R"({"format": "orvex360 project", "version": 3})",
       "version: 3 is not supported; this program reads versions 1 to 2"},
      {R"("colour": "red"})", "colour: unknown key"},
      {R"("samples": 0})", "samples: takes 1 to 4096; got 0"},
      {R"("editor": "yes"})", "editor: must be true or false"},
      {R"("camera": "fish"})", "camera: there is no camera kind \"fish\""},
      {R"("tag": {"ORVEXTAG_FISHEYE_FOVV": {"type": "float", "value": 1}}})",
       "tag.ORVEXTAG_FISHEYE_FOVV: unknown key (nearest: ORVEXTAG_FISHEYE_FOV"},
      {R"("tag": {"ORVEXTAG_FISHEYE_FOV": {"type": "int", "value": 3}}})",
       "tag.ORVEXTAG_FISHEYE_FOV: is of type float, not int"},
      {R"("tag": {"ORVEXTAG_FISHEYE_FOV": {"type": "float", "value": 7}}})",
       "tag.ORVEXTAG_FISHEYE_FOV: ORVEXTAG_FISHEYE_FOV (Field of view) takes 1 deg to 360 deg; got 401.07"},
      {R"("tag": {"ORVEXTAG_PROJECTION": {"type": "int", "value": 9}}})",
       "tag.ORVEXTAG_PROJECTION: ORVEXTAG_PROJECTION (Projection) takes one of 0 Equirectangular"},
      {R"("tag": {"ORVEXTAG_STEREO_DIRECTION_PAD": {"type": "vector", "value": [1, 2]}}})",
       "tag.ORVEXTAG_STEREO_DIRECTION_PAD: the value is not a vector"},
      {R"("effect": {"ORVEXVP_TEXT": {"type": "string", "value": "x", "colour": 1}}})",
       "effect.ORVEXVP_TEXT: unknown key beside \"type\" and \"value\""},
      {R"("render_settings": {"width": {"type": "float", "value": 0}}})",
       "render_settings.width: width (width) takes 1 to 65536; got 0"},
      {R"("render_settings": {"5008": {"type": "float", "value": 1e9}}})",
       "render_settings.5008: width (width) takes 1 to 65536"},
      {R"("render_settings": {"width": {"type": "float", "value": 9}, "5008": {"type": "float", "value": 8}}})",
       "render_settings.5008: names a value given before under another name"},
      {R"("render_settings": {"stereo": {"type": "bool", "value": false}}, "tag": {"ORVEXTAG_STEREO": {"type": "bool", "value": true}}})",
       "tag.ORVEXTAG_STEREO: true, but render_settings.stereo is false; both name the render settings'"},
      {"\"tag\": " + std::string(100000, '['), "nested deeper than 64 levels"},
      {R"("samples": 2, "samples": 3})", "samples: given twice"},
      {R"("tag": {"ORVEXTAG_FISHEYE_FOV": {"type": "float", "value": 1}, "ORVEXTAG_FISHEYE_FOV": {"type": "float", "value": 2}}})",
       "tag.ORVEXTAG_FISHEYE_FOV: given twice"},
      {R"("tag": {"99999": {"type": "int", "value": 1}}})",
       "tag.99999: unknown ID: the description \"OrvexTag\" has no parameter 99999"},
      {R"("render_settings": {"width": {"type": "float", "value": 64.5}}})",
       "render_settings.width: width takes a whole number of pixels; got 64.5"},
      {R"("render_settings": {"fps": {"type": "float", "value": 0.5}}})",
       "render_settings.fps: fps (fps) takes 1 to 1000; got 0.5"},
      {R"("tag": {"ORVEXTAG_SEPARATION_MAP_SHADER": {"type": "shader", "value": {"shader": 4242, "values": {}}}}})",
       "tag.ORVEXTAG_SEPARATION_MAP_SHADER: there is no shader of type 4242 to make"},
  };
  for (const BadProject& bad : cases) {
    // Rows that are not a whole file are keys after a good head.
    const std::string error = Refusal(bad.text[0] == '"' ? kHead + bad.text : bad.text);
    EXPECT_EQ(error.rfind("p.json: ", 0), 0u) << error;  // every message names the file first
    EXPECT_NE(error.find(bad.message), std::string::npos) << "got: " << error << "\nwanted: " << bad.message;
  }
}

TEST_F(ProjectBadInput, FilesThatAreMissingFoldersOrHugeAreRefusedBeforeReading) {
  ProjectSchemas schemas;
  std::string error;
  ASSERT_TRUE(schemas.Load(error)) << error;
  const render_test::TempFolder folder;
  std::ofstream(folder.File("huge.json"))
      << kHead << "\"frames\": \"" << std::string(project_file::kMaxBytes, ' ') << "\"}";
  const std::pair<std::string, const char*> cases[] = {
      {folder.File("none.json"), ": no such file"},
      {folder.Path().string(), ": not a file"},
      {folder.File("huge.json"), ": larger than 1048576 bytes"}};
  for (const auto& [path, message] : cases) {
    project_file::Project project;
    EXPECT_FALSE(project_file::Load(path, schemas.Get(), project, error));
    EXPECT_EQ(error.rfind(path + message, 0), 0u) << error;
  }
}

}  // namespace
