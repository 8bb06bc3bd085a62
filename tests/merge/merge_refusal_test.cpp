#include "merge_fixture.h"

#include <string>

namespace {

const std::string kMergeLine = "--- Orvex360Cam: Stereo MERGE!";

class MergeRefusal : public MergeFixture {
 protected:
  void SetUp() override {
    MergeFixture::SetUp();
    SetStereoPair(4, 3);
    MakeSignedImages(2, 4, 3);
  }

  void ExpectRefusedWith(const std::string& message) {
    console::Clear();
    EXPECT_FALSE(Merge());
    EXPECT_TRUE(DestinationUntouched());
    EXPECT_EQ(console::Lines(), (std::vector<std::string>{kMergeLine, "--- Orvex360Cam: " + message}));
  }
};

TEST_F(MergeRefusal, OneCameraOrAnEditorRenderIsNotMergedAndLogsNoError) {
  State().cameraCount = 1;
  EXPECT_FALSE(Merge());
  State().cameraCount = 2;
  State().editorRender = 1;
  EXPECT_FALSE(Merge());
  EXPECT_TRUE(DestinationUntouched());
  EXPECT_EQ(console::Lines(), (std::vector<std::string>{kMergeLine, kMergeLine}));
}

TEST_F(MergeRefusal, SourcesOfAnotherSize) {
  sources_[1] = (images_[1] = MakeImage(4, 2)).get();
  ExpectRefusedWith("Merge error: channel [1] size differ [4/2]");
  sources_[0] = (images_[0] = MakeImage(3, 3)).get();
  ExpectRefusedWith("Merge error: source size [3/3] != dest [4/3]");
}

TEST_F(MergeRefusal, FewerImagesThanCamerasAreNeverReadPast) {
  State().facesPerEye = 6;  // a stereo cubemap
  State().cameraCount = 12;
  MakeSignedImages(6, 4, 3);
  sources_.shrink_to_fit();  // exactly the pointers handed over: a read past them trips ASan
  ExpectRefusedWith("Merge error: [6] images for [12] cameras");
}

TEST_F(MergeRefusal, EyesOrFacesBeyondTheCamerasOrTheirArrays) {
  State().eyeCount = 3;
  EXPECT_FALSE(Merge());
  State().eyeCount = 2;
  State().facesPerEye = 7;
  EXPECT_FALSE(Merge());
  State().facesPerEye = 6;
  ExpectRefusedWith("Merge error: [2] eyes of [6] faces for [2] cameras");
}

TEST_F(MergeRefusal, MissingImagesAndNotThoseBeyondTheCameraCount) {
  sources_[1] = nullptr;
  ExpectRefusedWith("Merge error: channel [1] missing");
  EXPECT_FALSE(effect_->StereoMergeImages(nullptr, nullptr, sources_.data(), 2, BaseContainer(),
                                          COLORSPACETRANSFORMATION_NONE));
  // Images beyond the camera count are not looked at.
  sources_[1] = images_[1].get();
  images_.push_back(MakeImage(1, 1));
  sources_.push_back(images_.back().get());
  EXPECT_TRUE(Merge());
}

TEST_F(MergeFixture, RowAccessOutsideTheImageCopiesNothing) {
  MakeSignedImages(1, 4, 2);
  std::vector<Float32> row(12, -1.0f);
  auto* bytes = reinterpret_cast<UChar*>(row.data());
  EXPECT_FALSE(images_[0]->GetPixelCnt(2, 0, 3, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(images_[0]->GetPixelCnt(0, 2, 1, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(images_[0]->GetPixelCnt(0, 0, 1, bytes, 16, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(destination_->SetPixelCnt(-1, 1, 2, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_EQ(row[0], -1.0f);
  EXPECT_TRUE(DestinationUntouched());
}

}  // namespace
