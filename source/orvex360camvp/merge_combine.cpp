#include "orvex360camvp/merge_combine.h"

#include "orvex360camvp/merge_spans.h"

#include <algorithm>

namespace {

enum InterlacePattern : Int32 { kRows = 0, kColumns = 1, kCheckerboard = 2 };

EyeCombine InterlaceCombine(Int32 pattern) {
  if (pattern == kColumns) return EyeCombine::kInterlacedColumns;
  if (pattern == kCheckerboard) return EyeCombine::kCheckerboard;
  return EyeCombine::kInterlacedRows;
}

EyeCombine CombineFor(const RenderState& state) {
  if (state.eyeCount == 1) return EyeCombine::kSingleEye;
  if (IsSideBySide(state)) return EyeCombine::kSideBySide;
  if (IsInterlaced(state)) return InterlaceCombine(state.interlacePattern);
  if (IsAnaglyph(state)) return EyeCombine::kAnaglyph;
  return EyeCombine::kBlack;
}

void CopyPixel(Float32* to, const Float32* from) { std::copy(from, from + 3, to); }

// Within `columns`: slot 1's pixels where slot 1's area lies, black elsewhere.
void TakeSlot1OrBlack(ColumnRange columns, ColumnRange slot1, Float32* slot0Row, const Float32* slot1Row) {
  const Int32 from = std::clamp(slot1.begin, columns.begin, columns.end);
  const Int32 to = std::clamp(slot1.end, from, columns.end);
  std::fill(slot0Row + 3 * columns.begin, slot0Row + 3 * from, 0.0f);
  std::copy(slot1Row + 3 * from, slot1Row + 3 * to, slot0Row + 3 * from);
  std::fill(slot0Row + 3 * to, slot0Row + 3 * columns.end, 0.0f);
}

// Slot 0's pixels stay where its area lies; left and right of it slot 1 or black.
void SideBySide(const RowCombiner& combiner, Int32 y, Int32 width, Float32* slot0Row,
                const Float32* slot1Row) {
  const ColumnRange slot0 = ColumnsInRow(combiner.slot0Area, Vector(), y, width);
  const ColumnRange slot1 = ColumnsInRow(combiner.slot1Area, Vector(), y, width);
  TakeSlot1OrBlack({0, slot0.begin}, slot1, slot0Row, slot1Row);
  TakeSlot1OrBlack({slot0.end, width}, slot1, slot0Row, slot1Row);
}

// Takes slot 1's pixel on every other column, starting at column `firstOdd`.
void AlternateColumns(Int32 firstOdd, Int32 width, Float32* slot0Row, const Float32* slot1Row) {
  for (Int32 x = firstOdd; x < width; x += 2) CopyPixel(slot0Row + 3 * x, slot1Row + 3 * x);
}

Vector PixelAt(const Float32* row, Int32 x) { return {row[3 * x], row[3 * x + 1], row[3 * x + 2]}; }

void Anaglyph(const RowCombiner& combiner, Int32 y, Int32 width, Float32* slot0Row, const Float32* slot1Row) {
  for (Int32 x = 0; x < width; ++x) {
    if (combiner.domeOnly) {
      const Vector uv = orvex::PixelToUv(combiner.domeArea, x, y);
      if (orvex::IsOutsideDomeCircle(uv.x, uv.y)) continue;
    }
    const Vector mixed = MixAnaglyph(combiner.anaglyph, PixelAt(slot0Row, x), PixelAt(slot1Row, x));
    Float32* out = slot0Row + 3 * x;
    out[0] = static_cast<Float32>(mixed.x);
    out[1] = static_cast<Float32>(mixed.y);
    out[2] = static_cast<Float32>(mixed.z);
  }
}

}  // namespace

RowCombiner MakeRowCombiner(const RenderState& state) {
  RowCombiner combiner;
  combiner.mode = CombineFor(state);
  combiner.slot0Area = state.eyes[0].area;
  combiner.slot1Area = state.eyes[1].area;
  combiner.anaglyph = MakeAnaglyphMix(state.anaglyphColors, state.anaglyphMethod, state.anaglyphGamma);
  combiner.domeOnly = IsFisheye(state);
  combiner.domeArea = state.currentArea;
  return combiner;
}

Bool UsesEyeSlot(const RowCombiner& combiner, Int32 slot, Int32 y) {
  switch (combiner.mode) {
    case EyeCombine::kSingleEye:
      return slot == 0;
    case EyeCombine::kInterlacedRows:
      return slot == y % 2;
    case EyeCombine::kBlack:
      return false;
    default:
      return true;
  }
}

const Float32* CombineRow(const RowCombiner& combiner, Int32 y, Int32 width, Float32* slot0Row,
                          const Float32* slot1Row) {
  switch (combiner.mode) {
    case EyeCombine::kSingleEye:
      break;
    case EyeCombine::kSideBySide:
      SideBySide(combiner, y, width, slot0Row, slot1Row);
      break;
    case EyeCombine::kInterlacedRows:
      return y % 2 == 0 ? slot0Row : slot1Row;
    case EyeCombine::kInterlacedColumns:
      AlternateColumns(1, width, slot0Row, slot1Row);
      break;
    case EyeCombine::kCheckerboard:
      AlternateColumns(y % 2 == 0 ? 1 : 0, width, slot0Row, slot1Row);
      break;
    case EyeCombine::kAnaglyph:
      Anaglyph(combiner, y, width, slot0Row, slot1Row);
      break;
    case EyeCombine::kBlack:
      std::fill(slot0Row, slot0Row + 3 * width, 0.0f);
      break;
  }
  return slot0Row;
}
