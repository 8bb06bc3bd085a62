#include "orvex360camvp/merge_spans.h"
#include "merge_fixture.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

// Runs as (begin, end, source) triples.
std::vector<std::array<Int32, 3>> Cut(const std::vector<orvex::RenderArea>& areas, Int32 y, Int32 width,
                                      Vector eyeStart = Vector()) {
  std::vector<orvex::SubView> faces(areas.size());
  for (size_t f = 0; f < areas.size(); ++f) faces[f].area = areas[f];
  EyeRowSpans spans;
  CutEyeRow(faces, eyeStart, 4, y, width, spans);
  std::vector<std::array<Int32, 3>> runs;
  for (Int32 i = 0; i < spans.count; ++i)
    runs.push_back({spans.spans[i].begin, spans.spans[i].end, spans.spans[i].source});
  return runs;
}

using Runs = std::vector<std::array<Int32, 3>>;

TEST(CutEyeRow, RunsCoverTheRowInOrderAndTheFirstFaceWinsOverlaps) {
  EXPECT_EQ(Cut({Area(2, 0, 3, 5), Area(6, 0, 7, 5)}, 1, 10),
            (Runs{{0, 2, -1}, {2, 4, 4}, {4, 6, -1}, {6, 8, 5}, {8, 10, -1}}));
  EXPECT_EQ(Cut({Area(3, 0, 6, 0), Area(0, 0, 9, 0)}, 0, 10), (Runs{{0, 3, 5}, {3, 7, 4}, {7, 10, 5}}));
  EXPECT_EQ(Cut({Area(0, 0, 9, 0), Area(3, 0, 6, 0)}, 0, 10), (Runs{{0, 10, 4}}));
}

TEST(CutEyeRow, FacesMoveWithTheEyeAndKeepInclusiveEdgesInsideTheImage) {
  EXPECT_EQ(Cut({Area(0, 0, 1, 0)}, 2, 10, Vector(5, 2, 0)), (Runs{{0, 5, -1}, {5, 7, 4}, {7, 10, -1}}));
  EXPECT_EQ(Cut({Area(0, 0, 1, 0)}, 0, 10, Vector(5, 2, 0)), (Runs{{0, 10, -1}}));
  EXPECT_EQ(Cut({Area(0.5, 0, 3.5, 0)}, 0, 10), (Runs{{0, 1, -1}, {1, 4, 4}, {4, 10, -1}}));
  EXPECT_EQ(Cut({Area(-3, -1, 20, 1)}, 1, 10), (Runs{{0, 10, 4}}));
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  EXPECT_EQ(Cut({Area(nan, 0, nan, 5), Area(0, nan, 9, nan)}, 1, 10), (Runs{{0, 10, -1}}));
}

TEST(CutEyeRow, SixSeparateFacesFitTheRunCapacity) {
  std::vector<orvex::RenderArea> areas;
  for (Int32 f = 0; f < 6; ++f) areas.push_back(Area(2 * f + 1, 0, 2 * f + 1, 0));
  const Runs runs = Cut(areas, 0, 13);
  ASSERT_EQ(runs.size(), static_cast<size_t>(EyeRowSpans::kMaxSpans));
  EXPECT_EQ(runs[11], (std::array<Int32, 3>{11, 12, 9}));
}

}  // namespace
