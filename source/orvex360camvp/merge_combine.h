#pragma once

#include "orvex360camvp/anaglyph.h"
#include "orvex360camvp/render_state.h"

// How the two eye colours of a pixel become the output colour.
enum class EyeCombine : Int32 {
  kSingleEye,
  kSideBySide,
  kInterlacedRows,
  kInterlacedColumns,
  kCheckerboard,
  kAnaglyph,
  kBlack,
};

// Everything the per-row combination reads, fixed once per merge.
struct RowCombiner {
  EyeCombine mode = EyeCombine::kBlack;
  orvex::RenderArea slot0Area;  // side by side: where each eye lands
  orvex::RenderArea slot1Area;
  AnaglyphMix anaglyph;
  Bool domeOnly = false;  // fisheye anaglyph: outside the dome circle slot 0 shows unchanged
  orvex::RenderArea domeArea;
};

// The combination the render's stereo output settings ask for.
RowCombiner MakeRowCombiner(const RenderState& state);

// Whether row y of the output needs eye slot `slot` at all.
Bool UsesEyeSlot(const RowCombiner& combiner, Int32 slot, Int32 y);

// Combines row y of the two eye rows (three floats per pixel, `width` pixels) and returns the output
// row: slot0Row overwritten in place, or one of the two rows unchanged.
const Float32* CombineRow(const RowCombiner& combiner, Int32 y, Int32 width, Float32* slot0Row,
                          const Float32* slot1Row);
