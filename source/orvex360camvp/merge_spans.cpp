#include "orvex360camvp/merge_spans.h"

#include <algorithm>
#include <cmath>

namespace {

// A column bound clipped to [0, width]; NaN ends up at 0 and makes the range empty.
Int32 ClippedColumn(Float column, Int32 width) {
  return static_cast<Int32>(std::clamp(std::isnan(column) ? 0.0 : column, 0.0, static_cast<Float>(width)));
}

// Sorted, distinct cut positions of a row: its two ends and every face's begin and end.
Int32 CollectCuts(std::span<const ColumnRange> ranges, Int32 width,
                  std::array<Int32, 2 * EyeRowSpans::kMaxFaces + 2>& cuts) {
  Int32 count = 0;
  cuts[count++] = 0;
  cuts[count++] = width;
  for (const ColumnRange& range : ranges) {
    if (range.IsEmpty()) continue;
    cuts[count++] = range.begin;
    cuts[count++] = range.end;
  }
  std::sort(cuts.begin(), cuts.begin() + count);
  return static_cast<Int32>(std::unique(cuts.begin(), cuts.begin() + count) - cuts.begin());
}

// The first face whose columns hold the run [begin, end); runs never straddle a face's edge.
Int32 OwnerOf(std::span<const ColumnRange> ranges, Int32 begin, Int32 end) {
  for (size_t f = 0; f < ranges.size(); ++f)
    if (ranges[f].begin <= begin && end <= ranges[f].end) return static_cast<Int32>(f);
  return -1;
}

void AppendRun(EyeRowSpans& out, Int32 begin, Int32 end, Int32 source) {
  if (out.count > 0 && out.spans[out.count - 1].source == source) {
    out.spans[out.count - 1].end = end;
    return;
  }
  out.spans[out.count++] = {begin, end, source};
}

}  // namespace

ColumnRange ColumnsInRow(const orvex::RenderArea& area, const Vector& offset, Int32 y, Int32 width) {
  const Float top = area.GetStart().y + offset.y;
  const Float bottom = area.GetEnd().y + offset.y;
  if (!(top <= y && y <= bottom)) return {};
  const Int32 begin = ClippedColumn(std::ceil(area.GetStart().x + offset.x), width);
  const Int32 end = ClippedColumn(std::floor(area.GetEnd().x + offset.x) + 1.0, width);
  return {begin, std::max(begin, end)};
}

void CutEyeRow(std::span<const orvex::SubView> faces, const Vector& eyeStart, Int32 firstSource, Int32 y,
               Int32 width, EyeRowSpans& out) {
  out.count = 0;
  std::array<ColumnRange, EyeRowSpans::kMaxFaces> ranges{};
  const size_t faceCount = std::min(faces.size(), ranges.size());
  for (size_t f = 0; f < faceCount; ++f) ranges[f] = ColumnsInRow(faces[f].area, eyeStart, y, width);
  const std::span<const ColumnRange> used(ranges.data(), faceCount);

  std::array<Int32, 2 * EyeRowSpans::kMaxFaces + 2> cuts{};
  const Int32 cutCount = CollectCuts(used, width, cuts);
  for (Int32 i = 0; i + 1 < cutCount; ++i) {
    const Int32 face = OwnerOf(used, cuts[i], cuts[i + 1]);
    AppendRun(out, cuts[i], cuts[i + 1], face < 0 ? -1 : firstSource + face);
  }
}
