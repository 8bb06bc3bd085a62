#include "shader_support.h"

#include <limits>

namespace {

TEST(GradientShader, WithoutKnotsRunsFromBlackAtTheTopToWhiteAtTheBottom) {
  ShaderPtr shader(BaseShader::Alloc(Xgradient));
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleAt(*shader, 0.3, 0.0), Vector(0.0));
  EXPECT_EQ(SampleAt(*shader, 0.3, 0.5), Vector(0.5));
  EXPECT_EQ(SampleAt(*shader, 0.3, 1.0), Vector(1.0));
  shader->GetDataInstance()->SetInt32(GRADIENTSHADER_AXIS, kGradientAxisHorizontal);
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleAt(*shader, 0.25, 0.9), Vector(0.25));
}

TEST(GradientShader, FadesSeparationOutTowardBothPoles) {
  ShaderPtr shader = MakeGradient({{0.0, Vector(0.0)}, {0.5, Vector(1.0)}, {1.0, Vector(0.0)}});
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleAt(*shader, 0.7, 0.0).x, 0.0);
  EXPECT_EQ(SampleAt(*shader, 0.7, 1.0).x, 0.0);
  EXPECT_EQ(SampleAt(*shader, 0.7, 0.5).x, 1.0);
  EXPECT_NEAR(SampleAt(*shader, 0.1, 0.875).x, 0.25, 1e-12);
}

TEST(GradientShader, KnotsAreSortedAndTheEndColoursHoldBeyondThem) {
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  ShaderPtr shader =
      MakeGradient({{0.8, Vector(1.0, 0.0, 0.5)}, {nan, Vector(9.0)}, {0.2, Vector(0.0, 1.0, 0.5)}});
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  EXPECT_EQ(SampleAt(*shader, 0.0, -2.0), Vector(0.0, 1.0, 0.5));
  EXPECT_NEAR((SampleAt(*shader, 0.0, 0.5) - Vector(0.5, 0.5, 0.5)).GetLength(), 0.0, 1e-12);
  EXPECT_EQ(SampleAt(*shader, 0.0, 3.0), Vector(1.0, 0.0, 0.5));
  EXPECT_EQ(SampleAt(*shader, 0.0, nan), Vector(0.0, 1.0, 0.5));
}

}  // namespace
