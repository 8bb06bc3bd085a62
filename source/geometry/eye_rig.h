#pragma once

#include "c4d_math.h"
#include "geometry/sub_view.h"

namespace orvex {

// Rig modes: how the eye offset turns with the view direction of each ray.
enum StereoRigMode : Int32 {
  kRigFixed = 0,         // eyes stay on the X axis; only the separation factor scales them
  kRigOmni = 1,          // eye pair turns with the ray's horizontal angle (full omni-directional stereo)
  kRigTurnVertical = 2,  // turns about the vertical axis by the ray's sideways component
  kRigTurnViewAxis = 3,  // turns about the viewing axis by the ray's sideways component
};

// Places eye 0 (left) or eye 1 or 2 (right) half the separation along the camera's own X axis;
// the eyes stay parallel, rays converge one by one. Any other index is refused: false, and the view
// is left unchanged.
[[nodiscard]] bool PlaceEye(const Matrix& camera, Int32 eyeIndex, Float separation, SubView& eye);

// Only the two eyes of a pair converge: eye 0 and eye 1.
constexpr bool IsConvergingEye(Int32 eyeIndex) { return eyeIndex == 0 || eyeIndex == 1; }

// Stereo settings shared by all rays of a render.
struct StereoRig {
  Int32 rigMode = kRigTurnVertical;  // values outside 0..3 act as kRigFixed
  Bool dome = false;                 // fisheye dome: the lens direction arrives frame-changed
  Float zeroParallax = 0.0;          // distance the eyes converge at; 0 keeps rays parallel
  Float separation = 6.5;
};

// The eye matrix of one ray and the two by-products the stereo diagram draws.
struct EyeMatrix {
  Matrix matrix;             // origin = offset, direction = rotation applied to the lens direction
  Vector zeroParallaxPoint;  // camera frame; zero when the ray does not converge
  Vector convergenceAxis;    // camera frame; zero when the ray does not converge
};

// One eye of the rig, prepared once per camera render so that each ray only turns and converges.
struct EyeRig {
  StereoRig rig;
  Matrix eye;                  // the eye's placement
  Vector eyeOffset;            // the eye's offset from the camera in its own axes: (h, 0, 0) for a placed eye
  Matrix head;                 // the camera, turned back from the dome for dome stereo
  Matrix headInverse;          // its inverse, to bring the convergence axis into the camera frame
  Bool rigidHead = false;      // the head's axes are unit and square: it turns unit axes into unit axes
  Bool convergingEye = false;  // a converging eye with positive zero-parallax distance and separation
  // Per-render constants of the convergence worked in the head's own frame (see eye_rig.cpp).
  Bool invertibleHead = false;  // the head has volume: the convergence axis can be found in its frame
  Matrix eyeInHead;             // headInverse x eye: eye origins in the head's frame
  Matrix axisMetric;            // (head^T head)^-1, symmetric: head-frame normals to convergence axes
  Float axisSign = 1.0;         // the sign of the head's determinant (a mirrored head flips the axis)
};

EyeRig PrepareEyeRig(const Matrix& camera, const Matrix& eye, Int32 eyeIndex, const StereoRig& rig);

// Eye matrix for a ray with lens direction d (camera frame, as the lens gave it), with separation
// factor k (1 keeps the full separation, 0 puts the eye on the camera and skips convergence).
EyeMatrix EyeMatrixForRay(const EyeRig& eyeRig, const Vector& d, Float k);

// The same in one call, for a single ray (viewport diagrams).
EyeMatrix EyeMatrixForRay(const Matrix& camera, const Matrix& eye, Int32 eyeIndex, const Vector& d,
                          const StereoRig& rig, Float k);

// A two-dimensional scalar map whose red channel scales the eye separation per direction.
class ScalarMapSampler {
 public:
  virtual ~ScalarMapSampler() = default;
  // p: texture point (x, y in 0..1; z 0.5 on the dome map, 0 on the panorama map). Must be safe to
  // call from several render threads at once.
  virtual Float SampleRed(const Vector& p) const = 0;
};

// Where the separation map is sampled for lens direction d: the dome map for a dome, otherwise the
// panorama map with its top row looking up.
Vector SeparationMapPoint(const Vector& d, Bool dome, Float fisheyeFov);

// Separation factor k for lens direction d: the map's red channel, unclamped, or 1.0 without a map
// (map switched off, or no initialised sampler).
Float SeparationFactor(const ScalarMapSampler* map, const Vector& d, Bool dome, Float fisheyeFov);

// Separation factors beyond this push the eyes past any scene; larger ones are limited to it.
constexpr Float kMaxSeparationFactor = 100.0;

// Whether a map value can be used as it is: finite and within +/-kMaxSeparationFactor.
Bool IsUsableSeparationFactor(Float k);

// The factor the eye rig takes for a map value: NaN and infinities give no separation (0), other
// values are limited to +/-kMaxSeparationFactor.
Float UsableSeparationFactor(Float k);

}  // namespace orvex
