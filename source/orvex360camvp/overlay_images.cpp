#include "orvex360camvp/overlay_images.h"

#include "module_log.h"

#include <algorithm>
#include <cmath>

namespace overlay_images {
namespace {

const char* ReasonOf(IMAGERESULT result) {
  switch (result) {
    case IMAGERESULT_NOTEXISTING:
      return "is missing";
    case IMAGERESULT_WRONGTYPE:
      return "is not an image (or is damaged or unreadable)";
    case IMAGERESULT_OUTOFMEMORY:
      return "is too large for memory";
    default:
      return "did not load";
  }
}

Float FiniteOrZero(Float value) { return std::isfinite(value) ? value : 0.0; }

// Values that are no number (NaN or infinite, in colour or alpha) become 0, so that one bad pixel
// cannot spread through the blend into the frame; true when any did.
Bool ReplaceNonFinite(BaseBitmap& bitmap) {
  Bool replaced = false;
  const Bool alpha = bitmap.HasAlpha();
  for (Int32 y = 0; y < bitmap.GetBh(); ++y) {
    for (Int32 x = 0; x < bitmap.GetBw(); ++x) {
      const Vector colour = bitmap.GetPixelFloat(x, y);
      if (!std::isfinite(colour.x + colour.y + colour.z)) {
        bitmap.SetPixelFloat(x, y,
                             Vector(FiniteOrZero(colour.x), FiniteOrZero(colour.y), FiniteOrZero(colour.z)));
        replaced = true;
      }
      if (alpha && !std::isfinite(bitmap.GetAlpha(x, y))) {
        bitmap.SetAlpha(x, y, 0.0);
        replaced = true;
      }
    }
  }
  return replaced;
}

}  // namespace

Bool Load(BaseBitmap& bitmap, const Filename& path, const char* what) {
  bitmap.FlushAll();
  if (!path.Content()) {
    ModuleLog("%s off: no image file chosen", what);
    return false;
  }
  const IMAGERESULT result = bitmap.Init(path);
  const char* reason = result != IMAGERESULT_OK ? ReasonOf(result)
                       : bitmap.IsEmpty()       ? "has no pixels"
                                                : nullptr;
  if (!reason) {
    if (ReplaceNonFinite(bitmap))
      ModuleLog("%s: values that are no number in image \"%s\" were used as 0", what,
                path.GetString().GetCString());
    return true;
  }
  bitmap.FlushAll();
  ModuleLog("%s off: image \"%s\" %s", what, path.GetString().GetCString(), reason);
  return false;
}

void CoverageFromBrightness(BaseBitmap& mask) {
  if (mask.HasAlpha() || mask.IsEmpty()) return;
  mask.AddAlpha();
  if (!mask.HasAlpha()) return;
  for (Int32 y = 0; y < mask.GetBh(); ++y) {
    for (Int32 x = 0; x < mask.GetBw(); ++x) {
      const Vector colour = mask.GetPixelFloat(x, y);
      const Float brightness = 0.2126 * colour.x + 0.7152 * colour.y + 0.0722 * colour.z;
      mask.SetAlpha(x, y, std::clamp(1.0 - brightness, 0.0, 1.0));
      mask.SetPixelFloat(x, y, Vector());
    }
  }
}

}  // namespace overlay_images
