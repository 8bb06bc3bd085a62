#include "shader_support.h"

#include <thread>

namespace {

// Colours on a grid of points that crosses the texture's edges.
std::vector<Vector> SampleGrid(BaseShader& shader) {
  std::vector<Vector> colours;
  for (Int32 j = -8; j < 40; ++j)
    for (Int32 i = -8; i < 40; ++i) colours.push_back(SampleAt(shader, i / 31.0, j / 31.0));
  return colours;
}

class ShaderKinds : public ::testing::TestWithParam<Int32> {
 protected:
  ShaderPtr MakeConfigured() const {
    if (GetParam() == Xbitmap) return MakeImageShader();
    return MakeGradient({{0.0, Vector(0.0)}, {0.5, Vector(1.0, 0.5, 0.25)}, {1.0, Vector(0.0)}});
  }
};

TEST_P(ShaderKinds, SampleBlackOutsideInitRenderAndFreeRender) {
  ShaderPtr shader = MakeConfigured();
  EXPECT_EQ(SampleAt(*shader, 0.4, 0.4), Vector());
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  EXPECT_NE(SampleAt(*shader, 0.4, 0.4), Vector());
  shader->FreeRender();
  EXPECT_EQ(SampleAt(*shader, 0.4, 0.4), Vector());
}

TEST_P(ShaderKinds, AClonedShaderSamplesIdenticallyAfterTheOriginalIsGone) {
  ShaderPtr original = MakeConfigured();
  ASSERT_EQ(InitRender(*original), INITRENDERRESULT_OK);
  const std::vector<Vector> expected = SampleGrid(*original);
  ShaderPtr clone(static_cast<BaseShader*>(original->GetClone()));
  original.reset();
  ASSERT_EQ(InitRender(*clone), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleGrid(*clone), expected);
}

TEST_P(ShaderKinds, ManyThreadsSampleTheSameColoursAsOne) {
  ShaderPtr shader = MakeConfigured();
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  const std::vector<Vector> expected = SampleGrid(*shader);
  std::vector<std::vector<Vector>> results(4);
  std::vector<std::thread> threads;
  for (std::vector<Vector>& result : results)
    threads.emplace_back([&shader, &result] {
      for (Int32 round = 0; round < 20; ++round) result = SampleGrid(*shader);
    });
  for (std::thread& thread : threads) thread.join();
  for (const std::vector<Vector>& result : results) EXPECT_EQ(result, expected);
}

INSTANTIATE_TEST_SUITE_P(ImageAndGradient, ShaderKinds, ::testing::Values(Xbitmap, Xgradient));

}  // namespace
