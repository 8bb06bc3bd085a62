#include "module_render_fixture.h"

#include "runtime/console.h"
#include "scene/scene_library.h"
#include "test_scene.h"

#include <algorithm>

namespace {

constexpr Float kDegrees = 3.14159265358979323846 / 180.0;
constexpr const char* kPrefix = "--- Orvex360Cam: ";
}  // namespace

render_test::TempFolder* ModuleRender::folder_ = nullptr;
std::string ModuleRender::environment_;

void ModuleRender::SetUpTestSuite() {
  folder_ = new render_test::TempFolder();
  environment_ = render_test::WriteDirectionEnvironment(*folder_, 512, 256);
}

void ModuleRender::TearDownTestSuite() {
  delete folder_;
  folder_ = nullptr;
}

void ModuleRender::SetUp() {
  doc_ = scene_library::NewDocument();
  ASSERT_TRUE(doc_);
}

void ModuleRender::TearDown() { BaseDocument::Free(doc_); }

void ModuleRender::AddCamera(CameraKind kind, Int32 width, Int32 height, const Vector& position) {
  std::string error;
  camera_ = ::AddCamera(doc_, kind, position, error);
  ASSERT_TRUE(camera_) << error;
  SetSize(width, height);
}

void ModuleRender::SetSize(Int32 width, Int32 height) {
  Settings().SetFloat(RDATA_XRES, width);
  Settings().SetFloat(RDATA_YRES, height);
}

void ModuleRender::Rotate(Float heading, Float pitch, Float bank) {
  camera_->SetRelRot(Vector(heading, pitch, bank) * kDegrees);
}

BaseContainer& ModuleRender::Settings() { return *doc_->GetActiveRenderData()->GetDataInstance(); }
BaseTag* ModuleRender::Tag() { return camera_->GetTag(kTagType); }
BaseList2D* ModuleRender::Effect() { return FindOrvexEffect(doc_); }

void ModuleRender::SetTag(Int32 id, const GeData& value) {
  ASSERT_TRUE(Tag()->SetParameter(DescID(id), value, DESCFLAGS_SET_0));
}

void ModuleRender::SetEffect(Int32 id, const GeData& value) {
  ASSERT_TRUE(Effect());
  ASSERT_TRUE(Effect()->SetParameter(DescID(id), value, DESCFLAGS_SET_0));
}

FloatImage ModuleRender::Render(bool editor, Int32 samples) {
  console::Clear();
  RenderOptions options;
  options.editor = editor;
  options.samples = samples;
  options.environment = environment_;
  FloatImage image = render_test::RenderFrame(doc_, options);
  EXPECT_TRUE(render_test::IsFinite(image));
  return image;
}

std::vector<std::string> ModuleRender::ModuleLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : console::Lines())
    if (line.rfind(kPrefix, 0) == 0) lines.push_back(line.substr(std::string(kPrefix).size()));
  return lines;
}

Int32 ModuleRender::CamerasRendered() const {
  const std::vector<std::string> lines = ModuleLines();
  return static_cast<Int32>(
      std::count(lines.begin(), lines.end(), "Orvex360CamVP::Execute VIDEOPOSTCALL_FRAME > opengl [0]"));
}
