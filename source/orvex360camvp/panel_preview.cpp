#include "orvex360camvp/panel_preview.h"

#include "geometry/cube_face.h"
#include "module_log.h"
#include "settings/orvex360camvp_params.h"

#include <iterator>

namespace {
constexpr Int32 kNoFaceImage = 6;
constexpr const char* kFaceFiles[] = {"cubemap_L.png", "cubemap_R.png", "cubemap_D.png",   "cubemap_U.png",
                                      "cubemap_B.png", "cubemap_F.png", "cubemap_none.png"};
static_assert(std::size(kFaceFiles) == std::tuple_size_v<FaceImages>);

Filename ResourceFile(const char* name) { return GeGetPluginPath() + Filename("res") + Filename(name); }

// An image of the res folder; a missing one is no error: the bitmap stays empty and shows as such.
void LoadResourceImage(BaseBitmap& bitmap, const char* name) {
  static_cast<void>(bitmap.Init(ResourceFile(name)));
}

// Any cell value that is no face, whatever it holds, shows the no-face image.
Int32 ImageIndexOfFace(Int32 face) { return orvex::IsCubeFace(face) ? face : kNoFaceImage; }
}  // namespace

void FreeFaceImages(FaceImages& images) {
  for (BaseBitmap*& image : images) BaseBitmap::Free(image);
}

void LoadFaceImages(FaceImages& images) {
  FreeFaceImages(images);
  for (size_t index = 0; index < images.size(); ++index) {
    images[index] = BaseBitmap::Alloc();
    if (images[index]) LoadResourceImage(*images[index], kFaceFiles[index]);
  }
}

Bool IsPreviewButton(Int32 id) { return id >= ORVEXVP_CUBE_PREVIEW && id <= ORVEXVP_CUBE_PREVIEW_LAST; }

BaseBitmap* MakePreviewBitmap(Int32 id, const orvex::CubemapLayout& layout, const FaceImages& images) {
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  if (!bitmap || !IsPreviewButton(id)) return bitmap;
  const Int32 column = (id - ORVEXVP_CUBE_PREVIEW) % orvex::CubemapLayout::kMaxCells;
  const Int32 row = (id - ORVEXVP_CUBE_PREVIEW) / orvex::CubemapLayout::kMaxCells;
  if (column >= static_cast<Int32>(layout.gridSize.x) || row >= static_cast<Int32>(layout.gridSize.y))
    return bitmap;
  const BaseBitmap* image = images[ImageIndexOfFace(layout.cells[column][row].index)];
  // A face image that cannot be copied leaves the button empty, as a cell without a face.
  if (image && !image->CopyTo(bitmap)) ModuleLog(">>> ERROR cube preview [%d,%d] not copied", column, row);
  return bitmap;
}

BaseBitmap* MakeHeaderBitmap() {
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  if (bitmap) LoadResourceImage(*bitmap, "header_beta.png");
  return bitmap;
}
