#include "video/video_spherical.h"
#include "files_support.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

// What a video says about the sphere, from the image metadata a render describes itself with (the
// plain top-bottom and left-right layouts are read back by ffprobe in data/commands.tsv).

namespace {

using video_codec::Container;
using video_codec::Projection;
using video_codec::StereoLayout;

ImageMetadata Described(std::initializer_list<std::pair<const char*, const char*>> own) {
  ImageMetadata metadata;
  for (const auto& [name, value] : own) metadata.SetText("orvex360", name, value);
  return metadata;
}

struct PlanRow {
  ImageMetadata metadata;
  Container container;
  Projection projection;
  StereoLayout stereo;
  bool rightEyeFirst;
  const char* note;  // a word the one note holds; null: no note
};

TEST(VideoSpherical, ProjectionsAndEyesPlayersCannotTakeAreSaidOnce) {
  const std::vector<PlanRow> rows = {
      {Described({{"Projection", "cubemap"}, {"CubemapFaces", kStandardCubemapFaces}}), Container::Mp4,
       Projection::Cubemap, StereoLayout::Mono, false, nullptr},
      {Described({{"Projection", "cubemap"},
                  {"CubemapLayout", "grid-3x2"},
                  {"CubemapFaces", "right,left,up/down,front,back"}}),
       Container::Mp4, Projection::Flat, StereoLayout::Mono, false, "grid-3x2 cubemap"},
      {Described({{"Projection", "dome"}}), Container::Mp4, Projection::Flat, StereoLayout::Mono, false,
       "not as a sphere"},
      {Described({{"Stereo", "side-by-side"}, {"StereoLayout", "left-right"}, {"LeftEye", "right"}}),
       Container::Matroska, Projection::Flat, StereoLayout::SideBySide, true, nullptr},
      {Described({{"Stereo", "side-by-side"}, {"StereoLayout", "left-right"}, {"LeftEye", "right"}}),
       Container::Mp4, Projection::Flat, StereoLayout::Mono, false, "swapped"},
      {Described({{"Stereo", "anaglyph"}}), Container::Matroska, Projection::Flat, StereoLayout::Mono, false,
       "one picture"},
  };
  for (const PlanRow& row : rows) {
    const VideoSphericalPlan plan = PlanVideoSpherical(row.metadata, row.container);
    SCOPED_TRACE(row.note ? row.note : "no note");
    EXPECT_EQ(std::tuple(plan.spherical.projection, plan.spherical.stereo, plan.spherical.rightEyeFirst),
              std::tuple(row.projection, row.stereo, row.rightEyeFirst));
    ASSERT_EQ(plan.notes.size(), row.note ? 1u : 0u);
    if (row.note) files::ExpectHolds(plan.notes[0], {row.note});
  }
}

}  // namespace
