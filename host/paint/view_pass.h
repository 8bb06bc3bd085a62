#pragma once

#include "c4d.h"
#include "canvas/view_camera.h"
#include "image/float_image.h"

#include <string>
#include <vector>

// The stand-in host's viewport redraw: the document's view draws its scene, flat-shaded, and then
// every tag's Draw into an image, as an artist would see the editor view.
namespace view_pass {

// The view's image size and the editor camera it looks through while no scene camera is linked.
void SetViewSize(BaseDraw* view, Int32 width, Int32 height);
void SetEditorCamera(BaseDraw* view, const Matrix& placement, Float horizontalFov);

// A placement at `from` looking at `target` with +Y up (+Z up when looking straight up or down);
// false when the two points coincide or are not finite.
bool LookAt(const Vector& from, const Vector& target, Matrix& placement);

// The camera the view looks through: the linked scene camera (its lens) or the editor camera.
paint::ViewCamera CameraOf(BaseDraw* view);

// Redraws the document's active view into `image` (linear, sized as the view): background, every
// rendered object flat-shaded, then each object's tags' Draw (objects depth first, tags in order).
// `log` receives every drawing call when given. False with `error` when the view, its size or the
// memory is missing.
bool Redraw(BaseDocument* doc, FloatImage& image, std::vector<std::string>* log, std::string& error);

}  // namespace view_pass
