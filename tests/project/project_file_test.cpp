#include "linked_module.h"
#include "project/render_project.h"
#include "project/render_settings_record.h"
#include "render_test_support.h"
#include "runtime/shader_gradient.h"
#include "runtime/shader_params.h"
#include "settings/orvextag_params.h"

#include <fstream>
#include <vector>

// A project file keeps every value of the render settings, the camera tag and the effect, with
// its type: each parameter is set away from its default, saved, read back into a fresh scene and
// compared value by value. Project files that are broken, hostile or from elsewhere are refused
// with one message that names the file and the key.

namespace {

// A value of the element's kind that differs from `current` and lies inside its limits.
GeData OtherValue(const DescriptionElement& element, const GeData& current) {
  const BaseContainer& p = element.properties;
  const bool limited = p.GetDataPointer(DESC_MIN) && p.GetDataPointer(DESC_MAX);
  switch (element.kind) {
    case ElementKind::Bool:
      return GeData(!current.GetBool());
    case ElementKind::Int32: {
      if (!element.IsCycle()) {
        const bool past = limited && current.GetInt32() + 1 > p.GetFloat(DESC_MAX);
        return GeData(past ? static_cast<Int32>(p.GetFloat(DESC_MIN)) : current.GetInt32() + 1);
      }
      const BaseContainer cycle = p.GetContainer(DESC_CYCLE);
      const Int32 last = cycle.GetIndexId(cycle.GetCount() - 1);
      return GeData(last != current.GetInt32() ? last : cycle.GetIndexId(0));
    }
    case ElementKind::Float: {
      // Digits a decimal round trip would lose at fewer than 17 places.
      const Float value = limited ? p.GetFloat(DESC_MIN) + (p.GetFloat(DESC_MAX) - p.GetFloat(DESC_MIN)) / 3.0
                                  : current.GetFloat() + 0.1 / 3.0;
      return GeData(value);
    }
    case ElementKind::Vector:
      return GeData(current.GetVector() + Vector(0.1, -1.0 / 7.0, 1e-300));
    case ElementKind::String:
      return GeData(String("two lines\nwith \"quotes\", \\ and \xc3\xbc"));
    case ElementKind::Filename:
      return GeData(Filename("images/a file.png"));
    default:
      return GeData();
  }
}

// Every described value away from its default, straight into the container.
void SetEveryParameter(BaseList2D& node) {
  Description description;
  ASSERT_TRUE(description.LoadDescription(node.GetType()));
  BaseContainer& data = *node.GetDataInstance();
  for (const DescriptionElement& element : description.GetRecord().elements) {
    const GeData value = OtherValue(element, data.GetData(element.id));
    if (!value.IsNil()) data.SetData(element.id, value);
  }
}

void ExpectSameValues(const value_json::NodeValues& saved, const value_json::NodeValues& loaded) {
  EXPECT_EQ(loaded.values.GetCount(), saved.values.GetCount());
  for (Int32 i = 0; i < saved.values.GetCount(); ++i) {
    const Int32 id = saved.values.GetIndexId(i);
    const GeData* value = loaded.values.GetDataPointer(id);
    ASSERT_NE(value, nullptr) << "lost parameter " << id;
    EXPECT_EQ(value->GetType(), saved.values.GetData(id).GetType()) << "parameter " << id;
    EXPECT_TRUE(*value == saved.values.GetData(id)) << "parameter " << id;
  }
  EXPECT_TRUE(loaded.shaders == saved.shaders);
}

const std::string kHead = R"({"format": "orvex360 project", "version": 2, )";

// The module started, and the descriptions of its tag and effect that project files are read by.
class ProjectRoundTrip : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    ASSERT_TRUE(schemas.Load(error)) << error;
  }

  // Saves the scene's values as text and loads them into a fresh scene; returns that scene.
  std::unique_ptr<TestScene> SaveAndLoad(project_file::Project& saved, std::string& text) {
    CaptureNodes(scene->doc, scene->tag->GetObject(), saved);
    EXPECT_TRUE(project_file::ToText(saved, schemas.Get(), "/projects", text, error)) << error;
    project_file::Project loaded;
    EXPECT_TRUE(project_file::FromText(text, schemas.Get(), "/projects", "p.json", loaded, error)) << error;
    auto fresh = std::make_unique<TestScene>();
    fresh->AddTaggedCamera();
    EXPECT_TRUE(ApplyNodes(loaded, fresh->doc, fresh->tag->GetObject(), error)) << error;
    return fresh;
  }

  // Reads a project file of this text, which must be refused; the message is left in `error`.
  void Refuse(const std::string& text) {
    project_file::Project project;
    error.clear();
    EXPECT_FALSE(project_file::FromText(text, schemas.Get(), "/p", "p.json", project, error)) << text;
  }

  ProjectSchemas schemas;
  std::string error;
};
class ProjectBadInput : public ProjectRoundTrip {};

// The types no description element has (matrices, times), in a container read by ID alone.
TEST(ValueJson, MatricesAndTimesComeBackWithTheirTypes) {
  value_json::NodeValues saved;
  saved.values.SetMatrix(99001, Matrix(Vector(1, 2, 3), Vector(0, 1, 0), Vector(-1, 0, 0), Vector(0, 0, 1)));
  saved.values.SetTime(99002, BaseTime(2.0 / 3.0));
  value_json::Json json;
  value_json::NodeValues loaded;
  std::string error;
  ASSERT_TRUE(value_json::ToJson(saved, DescriptionRecord(), json, error)) << error;
  ASSERT_TRUE(value_json::FromJson(json, DescriptionRecord(), "values", loaded, error)) << error;
  ExpectSameValues(saved, loaded);
}

TEST_F(ProjectRoundTrip, EveryValueOfTagEffectAndRenderSettingsComesBackWithItsType) {
  ASSERT_TRUE(scene->AddTaggedCamera());
  ASSERT_TRUE(scene->Effect());
  SetEveryParameter(*scene->tag);
  SetEveryParameter(*scene->Effect());
  // A gradient linked the way a separation map is: a shader with a container inside its container;
  // its values go by ID alone and keep their types too.
  BaseShader* shader = BaseShader::Alloc(Xgradient);
  const GradientKnot knots[] = {{0.0, Vector(0.25)}, {0.7, Vector(1.0, 0.5, 0.0)}};
  SetGradientKnots(*shader->GetDataInstance(), knots);
  scene->tag->InsertShader(shader);
  scene->tag->GetDataInstance()->SetLink(ORVEXTAG_SEPARATION_MAP_SHADER, shader);
  BaseContainer& settings = *scene->doc->GetActiveRenderData()->GetDataInstance();
  for (const DescriptionElement& element : RenderSettingsRecord().elements)
    settings.SetData(element.id, OtherValue(element, settings.GetData(element.id)));

  project_file::Project saved;
  std::string text;
  const std::unique_ptr<TestScene> fresh = SaveAndLoad(saved, text);
  project_file::Project loaded;
  CaptureNodes(fresh->doc, fresh->tag->GetObject(), loaded);
  ExpectSameValues(saved.renderSettings, loaded.renderSettings);
  ExpectSameValues(*saved.tag, *loaded.tag);
  ExpectSameValues(*saved.effect, *loaded.effect);
  EXPECT_EQ(saved.tag->shaders.size(), 1u);
  EXPECT_NE(text.find("\n    \"ORVEXTAG_FISHEYE_FOV\": {\"type\":\"float\",\"value\":"), std::string::npos)
      << text;
}

// One stereo switch: written once, under the render settings; the tag's name for it sets the same.
TEST_F(ProjectRoundTrip, TheTagsStereoSwitchIsTheRenderSettingsOne) {
  ASSERT_TRUE(scene->AddTaggedCamera());
  scene->doc->GetActiveRenderData()->GetDataInstance()->SetBool(RDATA_STEREO, true);
  project_file::Project saved;
  std::string text;
  const std::unique_ptr<TestScene> fresh = SaveAndLoad(saved, text);
  EXPECT_EQ(text.find("ORVEXTAG_STEREO\""), std::string::npos) << text;
  EXPECT_TRUE(fresh->doc->GetActiveRenderData()->GetDataInstance()->GetBool(RDATA_STEREO));

  project_file::Project loaded;
  ASSERT_TRUE(project_file::FromText(
      R"({"format": "orvex360 project", "version": 2, "tag": {"ORVEXTAG_STEREO": {"type": "bool", "value": true}}})",
      schemas.Get(), "/p", "p.json", loaded, error))
      << error;
  EXPECT_TRUE(loaded.renderSettings.values.GetBool(RDATA_STEREO));
  // Version 1 files held the tag's unused copy beside the switch: they load as they rendered.
  ASSERT_TRUE(project_file::FromText(
      R"({"format": "orvex360 project", "version": 1, "render_settings": {"stereo": {"type": "bool", "value": true}},
          "tag": {"ORVEXTAG_STEREO": {"type": "bool", "value": false}}})",
      schemas.Get(), "/p", "p.json", loaded, error))
      << error;
  EXPECT_TRUE(loaded.renderSettings.values.GetBool(RDATA_STEREO));
  EXPECT_EQ(loaded.tag->values.GetDataPointer(ORVEXTAG_STEREO), nullptr);
}

TEST(ProjectPaths, SceneOutputAndEnvironmentResolveAgainstTheProjectFolder) {
  const DescriptionRecord empty;
  const project_file::Schemas schemas{RenderSettingsRecord(), empty, empty};
  project_file::Project project;
  project.scene = "/work/scenes/plaza.gltf";
  project.output = "/work/out/frame_##.png";
  project.environment = "/elsewhere/sky.exr";
  std::string text;
  std::string error;
  ASSERT_TRUE(project_file::ToText(project, schemas, "/work/projects", text, error)) << error;
  EXPECT_NE(text.find("\"../scenes/plaza.gltf\""), std::string::npos) << text;
  project_file::Project moved;
  ASSERT_TRUE(project_file::FromText(text, schemas, "/copy/projects", "p.json", moved, error)) << error;
  EXPECT_EQ(moved.scene, "/copy/scenes/plaza.gltf");
  EXPECT_EQ(moved.output, "/copy/out/frame_##.png");
  EXPECT_EQ(moved.environment, "/elsewhere/sky.exr");
}

TEST_F(ProjectBadInput, EachFaultIsNamed) {
  // One fault a row: see data/bad_projects.tsv. Nesting deep enough to exhaust the stack is made here.
  std::vector<std::pair<std::string, std::string>> cases = {
      {"\"tag\": " + std::string(100000, '['), "nested deeper than 64 levels"}};
  std::ifstream rows(ORVEX_TEST_DATA "/bad_projects.tsv");
  for (std::string row; std::getline(rows, row);)
    if (!row.empty() && row[0] == '\t' && !cases.empty())  // the message of a row too long for one line
      cases.back().second = row.substr(1);
    else if (!row.empty() && row[0] != '#')
      cases.push_back({row.substr(0, row.find('\t')),
                       row.find('\t') == std::string::npos ? "" : row.substr(row.find('\t') + 1)});
  ASSERT_GT(cases.size(), 20u);

  for (const auto& [text, message] : cases) {
    ASSERT_FALSE(message.empty()) << text;
    // Rows that are not a whole file are keys after a good head.
    Refuse(text[0] == '"' ? kHead + text : text);
    EXPECT_EQ(error.rfind("p.json: ", 0), 0u) << error;  // every message names the file first
    EXPECT_NE(error.find(message), std::string::npos) << "got: " << error << "\nwanted: " << message;
  }
}

TEST_F(ProjectBadInput, FilesThatAreMissingFoldersOrHugeAreRefusedBeforeReading) {
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
