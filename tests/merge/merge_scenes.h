#pragma once

#include "geometry/cubemap_layout.h"
#include "orvex360camvp/render_state.h"

#include <cmath>

// Render states as sequence start leaves them for the merge, built by hand.
namespace merge_scenes {

inline orvex::RenderArea Area(Float startX, Float startY, Float endX, Float endY) {
  return {Vector(startX, startY, 0.0), Vector(endX, endY, 0.0)};
}

// Where the eyes land: each on the whole frame, or side by side split across x or y.
enum class EyeSplit { kNone, kHorizontal, kVertical };

inline void PlaceEyes(RenderState& state, Int32 width, Int32 height, Int32 eyeCount, EyeSplit split) {
  state.eyeCount = eyeCount;
  const Int32 w = split == EyeSplit::kHorizontal ? width / eyeCount : width;
  const Int32 h = split == EyeSplit::kVertical ? height / eyeCount : height;
  for (Int32 slot = 0; slot < eyeCount; ++slot) {
    const Int32 x = split == EyeSplit::kHorizontal ? slot * w : 0;
    const Int32 y = split == EyeSplit::kVertical ? slot * h : 0;
    state.eyes[slot].area = Area(x, y, x + w - 1.0, y + h - 1.0);
    state.eyes[slot].index = slot;
  }
}

// Two eyes of one face each; face 0 is eye slot 0's view, as for every projection but the cubemap.
inline void SetStereoPair(RenderState& state, Int32 width, Int32 height, EyeSplit split) {
  PlaceEyes(state, width, height, 2, split);
  state.facesPerEye = 1;
  state.cameraCount = 2;
  state.faces[0] = state.eyes[0];
}

// The six faces of a cubemap layout over eye slot 0's area, in row order, empty cells skipped.
inline void SetCubemap(RenderState& state, Int32 width, Int32 height, Int32 eyeCount, EyeSplit split,
                       Int32 layoutKind) {
  PlaceEyes(state, width, height, eyeCount, split);
  orvex::CubemapSettings settings;
  settings.layout = layoutKind;
  orvex::BuildCubemapLayout(settings, state.layout);
  const Int32 columns = static_cast<Int32>(state.layout.gridSize.x);
  const Int32 rows = static_cast<Int32>(state.layout.gridSize.y);
  const Float cellWidth = static_cast<Float>(state.eyes[0].area.GetWidth()) / columns;
  const Float cellHeight = static_cast<Float>(state.eyes[0].area.GetHeight()) / rows;
  Int32 slot = 0;
  for (Int32 row = 0; row < rows; ++row) {
    for (Int32 column = 0; column < columns; ++column) {
      if (state.layout.cells[column][row].index < 0) continue;
      state.faces[slot] = state.layout.cells[column][row];
      state.faces[slot++].area =
          Area(std::trunc(column * cellWidth), std::trunc(row * cellHeight),
               std::trunc((column + 1) * cellWidth - 1.0), std::trunc((row + 1) * cellHeight - 1.0));
    }
  }
  state.facesPerEye = 6;
  state.cameraCount = 6 * eyeCount;
  state.lens.projection = orvex::Projection::kCubemap;
}

inline void SetAnaglyph(RenderState& state, Int32 colors, Int32 method, Float gamma) {
  state.stereoOutput = ORVEXVP_STEREO_MODE_ANAGLYPH;
  state.anaglyphColors = colors;
  state.anaglyphMethod = method;
  state.anaglyphGamma = gamma;
}

inline void SetInterlaced(RenderState& state, Int32 pattern) {
  state.stereoOutput = ORVEXVP_STEREO_MODE_INTERLACED;
  state.interlacePattern = pattern;
}

}  // namespace merge_scenes
