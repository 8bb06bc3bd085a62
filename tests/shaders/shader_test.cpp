#include "c4d.h"
#include "render_test_support.h"
#include "runtime/shader_gradient.h"
#include "runtime/shader_params.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

struct ShaderDeleter {
  void operator()(BaseShader* shader) const { BaseShader::Free(shader); }
};
using ShaderPtr = std::unique_ptr<BaseShader, ShaderDeleter>;

constexpr Float kNaN = std::numeric_limits<Float>::quiet_NaN();

INITRENDERRESULT InitRender(BaseShader& shader) { return shader.InitRender(InitRenderStruct()); }

Vector SampleAt(BaseShader& shader, Float u, Float v) {
  ChannelData cd;
  cd.p = Vector(u, v, 0.0);
  return shader.Sample(&cd);
}

// Each (u, v) samples its colour.
void ExpectSamples(BaseShader& shader, const std::vector<std::tuple<Float, Float, Vector>>& samples) {
  for (const auto& [u, v, colour] : samples)
    EXPECT_NEAR((SampleAt(shader, u, v) - colour).GetLength(), 0.0, 1e-6) << u << ", " << v;
}

ShaderPtr MakeGradient(const std::vector<GradientKnot>& knots) {
  ShaderPtr shader(BaseShader::Alloc(Xgradient));
  SetGradientKnots(*shader->GetDataInstance(), knots);
  return shader;
}

// 4 x 2 pixels as an 8-bit PPM: red by column 0, 0.2, 0.4, 1; green by row 0, 1; blue 0.6.
ShaderPtr MakeImageShader() {
  static const render_test::TempFolder folder;  // one per process: ctest runs tests side by side
  const std::string path = folder.File("image.ppm");
  std::ofstream file(path, std::ios::binary);
  file << "P6\n4 2\n255\n";
  for (const char green : {0, 255})
    for (const char red : {0, 51, 102, 255}) file << red << green << static_cast<char>(153);
  file.close();
  ShaderPtr shader(BaseShader::Alloc(Xbitmap));
  shader->GetDataInstance()->SetFilename(IMAGESHADER_FILE, Filename(path.c_str()));
  return shader;
}

TEST(GradientShader, WithoutKnotsRunsFromBlackAtTheTopToWhiteAtTheBottom) {
  ShaderPtr shader(BaseShader::Alloc(Xgradient));
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  ExpectSamples(*shader, {{0.3, 0.0, Vector(0.0)}, {0.3, 0.5, Vector(0.5)}, {0.3, 1.0, Vector(1.0)}});
  shader->GetDataInstance()->SetInt32(GRADIENTSHADER_AXIS, kGradientAxisHorizontal);
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  ExpectSamples(*shader, {{0.25, 0.9, Vector(0.25)}});
}

TEST(GradientShader, FadesSeparationOutTowardBothPoles) {
  ShaderPtr shader = MakeGradient({{0.0, Vector(0.0)}, {0.5, Vector(1.0)}, {1.0, Vector(0.0)}});
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  ExpectSamples(*shader, {{0.7, 0.0, Vector(0.0)}, {0.7, 1.0, Vector(0.0)}, {0.7, 0.5, Vector(1.0)}});
  ExpectSamples(*shader, {{0.1, 0.875, Vector(0.25)}});
}

TEST(GradientShader, KnotsAreSortedAndTheEndColoursHoldBeyondThem) {
  const Vector top(0.0, 1.0, 0.5), bottom(1.0, 0.0, 0.5);
  ShaderPtr shader = MakeGradient({{0.8, bottom}, {kNaN, Vector(9.0)}, {0.2, top}});
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  ExpectSamples(*shader, {{0.0, -2.0, top}, {0.0, 0.5, Vector(0.5)}, {0.0, 3.0, bottom}, {0.0, kNaN, top}});
}

TEST(ImageShader, FiltersBilinearlyTopRowFirstRepeatsUAndClampsV) {
  ShaderPtr shader = MakeImageShader();
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  const Float inf = std::numeric_limits<Float>::infinity();
  // Pixel centres, then points between them.
  ExpectSamples(*shader, {{0.375, 0.25, Vector(0.2, 0.0, 0.6)}, {0.875, 0.75, Vector(1.0, 1.0, 0.6)}});
  ExpectSamples(*shader, {{0.5, 0.25, Vector(0.3, 0.0, 0.6)}, {0.625, 0.5, Vector(0.4, 0.5, 0.6)}});
  // u repeats round the seam: at 0 and 1 halfway between the last column and the first.
  ExpectSamples(*shader, {{0.0, 0.25, Vector(0.5, 0.0, 0.6)}, {1.0, 0.25, Vector(0.5, 0.0, 0.6)}});
  ExpectSamples(*shader, {{-0.875, 0.25, Vector(0.0, 0.0, 0.6)}, {2.375, 0.25, Vector(0.2, 0.0, 0.6)}});
  // v clamps at the edges; a point without numbers samples black.
  ExpectSamples(*shader, {{0.125, -3.0, Vector(0.0, 0.0, 0.6)}, {0.125, 1.0, Vector(0.0, 1.0, 0.6)}});
  ExpectSamples(*shader, {{kNaN, 0.5, Vector()}, {0.5, inf, Vector()}});
}

TEST(ImageShader, AMissingFileFailsInitRenderAndDropsTheImageBefore) {
  ShaderPtr shader = MakeImageShader();
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  shader->GetDataInstance()->SetFilename(IMAGESHADER_FILE, Filename("/nonexistent/image.exr"));
  EXPECT_EQ(InitRender(*shader), INITRENDERRESULT_ASSETMISSING);
  EXPECT_EQ(SampleAt(*shader, 0.5, 0.5), Vector());
  ShaderPtr unnamed(BaseShader::Alloc(Xbitmap));
  EXPECT_NE(InitRender(*unnamed), INITRENDERRESULT_OK);
}

// Colours on a grid of points that crosses the texture's edges.
std::vector<Vector> SampleGrid(BaseShader& shader) {
  std::vector<Vector> colours;
  for (Int32 j = -8; j < 40; ++j)
    for (Int32 i = -8; i < 40; ++i) colours.push_back(SampleAt(shader, i / 31.0, j / 31.0));
  return colours;
}

class ShaderKinds : public ::testing::TestWithParam<Int32> {
 protected:
  void SetUp() override {
    shader_ = GetParam() == Xbitmap
                  ? MakeImageShader()
                  : MakeGradient({{0.0, Vector(0.0)}, {0.5, Vector(1.0, 0.5, 0.25)}, {1.0, Vector(0.0)}});
    EXPECT_EQ(SampleAt(*shader_, 0.4, 0.4), Vector());  // black before InitRender
    ASSERT_EQ(InitRender(*shader_), INITRENDERRESULT_OK);
  }
  ShaderPtr shader_;
};

TEST_P(ShaderKinds, AClonedShaderSamplesIdenticallyAfterTheOriginalIsGoneAndBlackAfterFreeRender) {
  const std::vector<Vector> expected = SampleGrid(*shader_);
  ShaderPtr clone(static_cast<BaseShader*>(shader_->GetClone()));
  shader_.reset();
  ASSERT_EQ(InitRender(*clone), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleGrid(*clone), expected);
  EXPECT_NE(SampleAt(*clone, 0.4, 0.4), Vector());
  clone->FreeRender();
  EXPECT_EQ(SampleAt(*clone, 0.4, 0.4), Vector());
}

TEST_P(ShaderKinds, ManyThreadsSampleTheSameColoursAsOne) {
  const std::vector<Vector> expected = SampleGrid(*shader_);
  std::vector<std::vector<Vector>> results(4);
  std::vector<std::thread> threads;
  for (std::vector<Vector>& result : results)
    threads.emplace_back([this, &result] {
      for (Int32 round = 0; round < 20; ++round) result = SampleGrid(*shader_);
    });
  for (std::thread& thread : threads) thread.join();
  for (const std::vector<Vector>& result : results) EXPECT_EQ(result, expected);
}

INSTANTIATE_TEST_SUITE_P(ImageAndGradient, ShaderKinds, ::testing::Values(Xbitmap, Xgradient));

}  // namespace
