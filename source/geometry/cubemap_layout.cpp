#include "geometry/cubemap_layout.h"

#include "geometry/cube_face.h"

namespace orvex {
namespace {

// Cross arms are four cells long; positions along them wrap round.
Int32 CrossPosition(Int32 start, Int32 step) {
  const Int32 position = (start % 4 + step % 4) % 4;
  return position < 0 ? position + 4 : position;
}

void PlaceFace(CubemapLayout& layout, Int32 column, Int32 row, Int32 face, Int32 rotation = 0) {
  if (!IsCubeFace(face)) return;
  SubView& cell = layout.cells[column][row];
  cell.index = face;
  cell.rotation = rotation;
}

void BuildCrossHorizontal(Int32 start, CubemapLayout& layout) {
  layout.gridSize = Vector(4.0, 3.0, 0.0);
  PlaceFace(layout, CrossPosition(start, 0), 0, kCubeFaceUp);
  PlaceFace(layout, CrossPosition(start, 0), 1, kCubeFaceFront);
  PlaceFace(layout, CrossPosition(start, 1), 1, kCubeFaceRight);
  PlaceFace(layout, CrossPosition(start, 2), 1, kCubeFaceBack);
  PlaceFace(layout, CrossPosition(start, 3), 1, kCubeFaceLeft);
  PlaceFace(layout, CrossPosition(start, 0), 2, kCubeFaceDown);
}

void BuildCrossVertical(Int32 start, CubemapLayout& layout) {
  layout.gridSize = Vector(3.0, 4.0, 0.0);
  PlaceFace(layout, 0, CrossPosition(start, 0), kCubeFaceLeft);
  PlaceFace(layout, 1, CrossPosition(start, 0), kCubeFaceFront);
  PlaceFace(layout, 1, CrossPosition(start, 1), kCubeFaceDown);
  // Walking down the long arm the back face arrives upside down.
  PlaceFace(layout, 1, CrossPosition(start, 2), kCubeFaceBack, 180);
  PlaceFace(layout, 1, CrossPosition(start, 3), kCubeFaceUp);
  PlaceFace(layout, 2, CrossPosition(start, 0), kCubeFaceRight);
}

// Slots fill the grid row by row, or column by column.
void BuildSlots(const CubemapSettings& settings, Int32 columns, Int32 rows, Bool columnMajor,
                CubemapLayout& layout) {
  layout.gridSize = Vector(columns, rows, 0.0);
  for (Int32 slot = 0; slot < 6; ++slot) {
    const Int32 column = columnMajor ? slot / rows : slot % columns;
    const Int32 row = columnMajor ? slot % rows : slot / columns;
    const Int32 face = settings.slots[slot];
    const Bool turned = settings.videoFaces && (face == kCubeFaceUp || face == kCubeFaceDown);
    PlaceFace(layout, column, row, face, turned ? 180 : 0);
  }
}

Int32 SingleFace(const CubemapSettings& settings) {
  return settings.editorRender && settings.hasTagData ? settings.tagEditorFace : settings.singleFace;
}

}  // namespace

void BuildCubemapLayout(const CubemapSettings& settings, CubemapLayout& layout) {
  for (auto& column : layout.cells) {
    for (SubView& cell : column) cell.Reset();
  }
  layout.gridSize = Vector();

  const Int32 kind = settings.editorRender ? kCubemapSingleFace : settings.layout;
  switch (kind) {
    case kCubemapCrossHorizontal:
      BuildCrossHorizontal(settings.crossStart, layout);
      break;
    case kCubemapCrossVertical:
      BuildCrossVertical(settings.crossStart, layout);
      break;
    case kCubemapStripHorizontal:
      BuildSlots(settings, 6, 1, false, layout);
      break;
    case kCubemapBlock3x2:
      BuildSlots(settings, 3, 2, false, layout);
      break;
    case kCubemapStripVertical:
      BuildSlots(settings, 1, 6, true, layout);
      break;
    case kCubemapBlock2x3:
      BuildSlots(settings, 2, 3, true, layout);
      break;
    case kCubemapSingleFace:
      layout.gridSize = Vector(1.0, 1.0, 0.0);
      PlaceFace(layout, 0, 0, SingleFace(settings));
      break;
    default:
      break;
  }
}

}  // namespace orvex
