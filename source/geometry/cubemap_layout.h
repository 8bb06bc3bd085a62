#pragma once

#include "geometry/sub_view.h"

#include <array>

namespace orvex {

// Cubemap layouts, numbered as the effect stores them.
enum CubemapLayoutKind : Int32 {
  kCubemapCrossHorizontal = 0,
  kCubemapCrossVertical = 1,
  kCubemapStripHorizontal = 2,
  kCubemapBlock3x2 = 3,
  kCubemapStripVertical = 4,
  kCubemapBlock2x3 = 5,
  kCubemapSingleFace = 6,
};

// The settings a layout is built from.
struct CubemapSettings {
  Int32 layout = kCubemapCrossHorizontal;
  Int32 singleFace = 5;                          // face of the single-face layout
  std::array<Int32, 6> slots{1, 0, 3, 2, 5, 4};  // faces of slots 1..6 in the strip and block layouts
  Int32 crossStart = 1;                          // where the front face sits along the cross's long arm
  Bool editorRender = false;                     // editor renders always show a single face
  Bool hasTagData = false;                       // with tag data, an editor render shows the tag's face
  Int32 tagEditorFace = 5;
  // The strip and block layouts with the up and down faces turned half a turn, as the cubemaps of
  // 360 video have them: the 3x2 grid of the default slots is then that standard's 3x2 cubemap.
  Bool videoFaces = false;
};

// Up to 6 x 6 cells, each a face view or empty (index -1).
struct CubemapLayout {
  static constexpr Int32 kMaxCells = 6;

  std::array<std::array<SubView, kMaxCells>, kMaxCells> cells;  // cells[column][row]
  Vector gridSize;                                              // (columns, rows, 0)
};

// Resets every cell and places the faces of the chosen layout. An unknown layout leaves the grid at
// (0, 0); face numbers outside 0..5 leave their cell empty; any cross start, negative ones
// included, turns the cross by whole quarter steps.
void BuildCubemapLayout(const CubemapSettings& settings, CubemapLayout& layout);

}  // namespace orvex
