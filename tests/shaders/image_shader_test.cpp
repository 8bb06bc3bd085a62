#include "shader_support.h"

#include <limits>

namespace {

class ImageShader : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(InitRender(*shader_), INITRENDERRESULT_OK); }

  void ExpectSample(Float u, Float v, Float red, Float green) {
    EXPECT_NEAR((SampleAt(*shader_, u, v) - Vector(red, green, 0.6)).GetLength(), 0.0, 1e-6)
        << u << ", " << v;
  }

  ShaderPtr shader_ = MakeImageShader();
};

TEST_F(ImageShader, FiltersBilinearlyBetweenPixelCentresTopRowFirst) {
  ExpectSample(0.375, 0.25, 0.2, 0.0);  // pixel centres
  ExpectSample(0.875, 0.75, 1.0, 1.0);
  ExpectSample(0.5, 0.25, 0.3, 0.0);  // between them
  ExpectSample(0.625, 0.5, 0.4, 0.5);
}

TEST_F(ImageShader, URepeatsAcrossTheSeamAndVClampsAtTheEdges) {
  ExpectSample(0.0, 0.25, 0.5, 0.0);  // halfway between the last column and the first
  ExpectSample(1.0, 0.25, 0.5, 0.0);
  ExpectSample(-0.875, 0.25, 0.0, 0.0);
  ExpectSample(2.375, 0.25, 0.2, 0.0);
  ExpectSample(0.125, -3.0, 0.0, 0.0);
  ExpectSample(0.125, 1.0, 0.0, 1.0);
}

TEST_F(ImageShader, APointWithoutNumbersSamplesBlack) {
  EXPECT_EQ(SampleAt(*shader_, std::numeric_limits<Float>::quiet_NaN(), 0.5), Vector());
  EXPECT_EQ(SampleAt(*shader_, 0.5, std::numeric_limits<Float>::infinity()), Vector());
}

TEST(ImageShaderFile, AMissingFileFailsInitRenderAndDropsTheImageBefore) {
  ShaderPtr shader = MakeImageShader();
  ASSERT_EQ(InitRender(*shader), INITRENDERRESULT_OK);
  shader->GetDataInstance()->SetFilename(IMAGESHADER_FILE, Filename("/nonexistent/image.exr"));
  EXPECT_EQ(InitRender(*shader), INITRENDERRESULT_ASSETMISSING);
  EXPECT_EQ(SampleAt(*shader, 0.5, 0.5), Vector());
  ShaderPtr unnamed(BaseShader::Alloc(Xbitmap));
  EXPECT_NE(InitRender(*unnamed), INITRENDERRESULT_OK);
}

}  // namespace
