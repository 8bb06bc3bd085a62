#pragma once

#include "geometry/render_area.h"
#include "geometry/sub_view.h"

#include <array>
#include <span>

// Columns [begin, end) of one output row.
struct ColumnRange {
  Int32 begin = 0;
  Int32 end = 0;

  bool Contains(Int32 x) const { return begin <= x && x < end; }
  bool IsEmpty() const { return begin >= end; }
};

// The columns of row y, clipped to [0, width), that `area` moved by `offset` contains (inclusive on
// every edge); empty when the row misses the area.
ColumnRange ColumnsInRow(const orvex::RenderArea& area, const Vector& offset, Int32 y, Int32 width);

// A run of one output row that one camera image fills, or that no image covers (source -1).
struct RowSpan {
  Int32 begin = 0;
  Int32 end = 0;
  Int32 source = -1;
};

// One eye's row cut into runs, each taken from a single camera image.
struct EyeRowSpans {
  static constexpr Int32 kMaxFaces = 6;
  // Every face adds at most two cuts to the row's two ends.
  static constexpr Int32 kMaxSpans = 2 * kMaxFaces + 1;

  std::array<RowSpan, kMaxSpans> spans{};
  Int32 count = 0;
};

// Cuts row y of an eye: each face's area, placed by the eye's start, claims the columns it contains,
// the first face winning where areas overlap; face f is camera image firstSource + f. The runs
// cover [0, width) in order. At most kMaxFaces faces are read.
void CutEyeRow(std::span<const orvex::SubView> faces, const Vector& eyeStart, Int32 firstSource, Int32 y,
               Int32 width, EyeRowSpans& out);
