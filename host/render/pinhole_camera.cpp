#include "pinhole_camera.h"

#include "runtime/object_params.h"

PinholeCamera::PinholeCamera(const BaseObject* camera, Int32 width, Int32 height)
    : halfWidth_(width * 0.5), halfHeight_(height * 0.5) {
  Float focus = 36.0;
  Float aperture = 36.0;
  if (camera) {
    matrix_ = camera->GetMg();
    focus = camera->GetDataInstance()->GetFloat(CAMERAOBJECT_FOCUS, focus);
    aperture = camera->GetDataInstance()->GetFloat(CAMERAOBJECT_APERTURE, aperture);
  }
  if (focus <= 0.0) focus = 36.0;
  tangentPerPixel_ = width > 0 ? (aperture * 0.5 / focus) / halfWidth_ : 0.0;
}
