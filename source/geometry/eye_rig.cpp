#include "geometry/eye_rig.h"

#include "geometry/equirect.h"
#include "geometry/fisheye.h"
#include "geometry/frame_change.h"
#include "geometry/quarter_turn.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <algorithm>
#include <cmath>

namespace orvex {
namespace {

// 1 / sqrt(x) as sqrt(x) / x: the root and the division run side by side instead of one after the
// other, which shortens the per-ray chains.
Float InverseSquareRoot(Float x) { return std::sqrt(x) * (1.0 / x); }

Turn TurnOf(Float a) { return {std::cos(a), std::sin(a)}; }

// The omni rig's angle atan2(d.z, d.x) - pi/2 has cosine d.z / rho and sine -d.x / rho; straight up or
// down (no horizontal part) the angle itself decides.
Turn OmniTurn(const Vector& d) {
  constexpr Float kSmallestSafeRho = 1e-150;  // below this the squares lose precision
  const Float squaredRho = d.x * d.x + d.z * d.z;
  if (squaredRho < kSmallestSafeRho * kSmallestSafeRho) return TurnOf(std::atan2(d.z, d.x) - kHalfPi);
  const Float inverse = InverseSquareRoot(squaredRho);
  return {d.z * inverse, -d.x * inverse};
}

// RotY(a) and RotZ(a) applied to v.
Vector TurnAboutY(const Turn& t, const Vector& v) {
  return {t.cosine * v.x - t.sine * v.z, v.y, t.sine * v.x + t.cosine * v.z};
}
Vector TurnAboutZ(const Turn& t, const Vector& v) {
  return {t.cosine * v.x + t.sine * v.y, t.cosine * v.y - t.sine * v.x, v.z};
}

// Each turning mode chains Move(-e) x R(a) x Move(k e) x R(-a); the rotations cancel, leaving the move
// R(a) k e - e, which keeps the eye's axes exact.
Vector EyeMove(const StereoRig& rig, const Vector& d, const Vector& e, Float k) {
  const Vector scaled = e * k;
  switch (rig.rigMode) {
    case kRigOmni: {
      const Turn turn = OmniTurn(d);
      return (rig.dome ? TurnAboutZ(turn, scaled) : TurnAboutY(turn, scaled)) - e;
    }
    case kRigTurnVertical: {
      const Turn turn = TurnWithinQuarter(-d.x * kHalfPi);
      return (rig.dome ? TurnAboutZ(turn, scaled) : TurnAboutY(turn, scaled)) - e;
    }
    case kRigTurnViewAxis: {
      const Turn turn = TurnWithinQuarter(-d.x * kHalfPi);
      return (rig.dome ? TurnAboutY(turn, scaled) : TurnAboutZ({turn.cosine, -turn.sine}, scaled)) - e;
    }
    default:
      return -e * (1.0 - k);
  }
}

// Turns the eye's ray towards the zero-parallax point, about the normal of the plane through the
// camera, the eye and the ray.
void Converge(const EyeRig& eyeRig, const Vector& d, EyeMatrix& eye) {
  const Vector zeroParallaxPoint = d * eyeRig.rig.zeroParallax;
  // Normalised first, as the angle always was: along the eye axis the angle is rounding noise,
  // and the same noise keeps the same rays.
  const Turn turn = AngleTurn((zeroParallaxPoint - eyeRig.eyeOffset).GetNormalized(), d);

  const Matrix& head = eyeRig.head;
  const Vector eyeOrigin = eye.matrix.offset;
  const Vector alongRay = head.offset + head.TransformDirection(d);
  const Vector worldAxis = Cross(head.offset - eyeOrigin, alongRay - eyeOrigin).GetNormalized();
  const Vector axis = eyeRig.headInverse.TransformDirection(worldAxis);

  // A ray in the plane of camera and eye has no axis: it keeps its direction, as RotAxis does.
  if (worldAxis != Vector())
    eye.matrix = eye.matrix * RotUnitAxis(eyeRig.rigidHead ? axis : axis.GetNormalized(), turn);
  eye.zeroParallaxPoint = zeroParallaxPoint;
  eye.convergenceAxis = axis;
}

// Below these the turn, or the plane it turns in, is rounding noise, which only the written steps
// above reproduce ray for ray.
constexpr Float kSmallestFastSine = 1e-5;
constexpr Float kSmallestFastNormalRatio = 1e-5;  // |Cross(d, eye origin)| / (|d| |eye origin|)

// Converge in the head's own frame. The written steps' world cross product is the head's cofactor
// matrix times the head-frame Cross(d, eye origin), so one per-render metric turns that normal
// straight into the convergence axis. The turn's cosine and sine come from the dot and cross
// products over one shared length: the square roots run side by side instead of one after another.
// Declines (false) when the ray runs along the eye: there the written steps decide. The eye's move
// arrives as three numbers, which travel in registers: as a Vector it would go through memory, a
// store and a reload on the ray's longest chain (move, eye origin, normal, axis, rotation).
bool ConvergeInHeadFrame(const EyeRig& eyeRig, const Vector& d, Float moveX, Float moveY, Float moveZ,
                         EyeMatrix& eye) {
  const Vector move(moveX, moveY, moveZ);
  const Vector zeroParallaxPoint = d * eyeRig.rig.zeroParallax;
  const Vector toPoint = zeroParallaxPoint - eyeRig.eyeOffset;
  const Float squaredD = d.GetSquaredLength();
  const Float inverseLengths = InverseSquareRoot(toPoint.GetSquaredLength() * squaredD);
  const Float cosine = Dot(toPoint, d) * inverseLengths;
  const Float sine = Cross(toPoint, d).GetLength() * inverseLengths;

  const Vector eyeOrigin = eyeRig.eyeInHead.TransformPoint(move);
  const Vector normal = Cross(d, eyeOrigin);
  const Vector metricNormal = eyeRig.rigidHead ? normal : eyeRig.axisMetric.TransformDirection(normal);
  // 1 / length with the mirror's sign carried by the reciprocal, which is ready before the root:
  // one multiply less after the root, and the same bits (a sign change is exact).
  const Float squaredNormal = Dot(normal, metricNormal);
  const Float axisScale = std::sqrt(squaredNormal) * (eyeRig.axisSign / squaredNormal);
  constexpr Float kSquaredRatio = kSmallestFastNormalRatio * kSmallestFastNormalRatio;
  const bool planeIsNoise =
      !(normal.GetSquaredLength() > kSquaredRatio * eyeOrigin.GetSquaredLength() * squaredD);
  if (!(sine >= kSmallestFastSine) || planeIsNoise) return false;

  const Vector axis = metricNormal * axisScale;
  eye.matrix = eye.matrix * RotUnitAxis(eyeRig.rigidHead ? axis : axis.GetNormalized(), {cosine, sine});
  eye.zeroParallaxPoint = zeroParallaxPoint;
  eye.convergenceAxis = axis;
  return true;
}

Matrix TransposedAxes(const Matrix& m) {
  return {Vector(),
          {m.axisX.x, m.axisY.x, m.axisZ.x},
          {m.axisX.y, m.axisY.y, m.axisZ.y},
          {m.axisX.z, m.axisY.z, m.axisZ.z}};
}

// Unit, mutually square axes (within rounding): directions keep their length.
bool IsRigid(const Matrix& m) {
  constexpr Float kTolerance = 1e-12;
  const auto near = [](Float value, Float target) { return std::fabs(value - target) <= kTolerance; };
  return near(Dot(m.axisX, m.axisX), 1.0) && near(Dot(m.axisY, m.axisY), 1.0) &&
         near(Dot(m.axisZ, m.axisZ), 1.0) && near(Dot(m.axisX, m.axisY), 0.0) &&
         near(Dot(m.axisX, m.axisZ), 0.0) && near(Dot(m.axisY, m.axisZ), 0.0);
}

}  // namespace

bool PlaceEye(const Matrix& camera, Int32 eyeIndex, Float separation, SubView& eye) {
  if (eyeIndex < 0 || eyeIndex > 2) return false;
  const Float h = eyeIndex != 0 ? separation * 0.5 : -separation * 0.5;
  eye.matrix = WithLocalMove(camera, Vector(h, 0.0, 0.0));
  eye.offsetX = 0.0;
  eye.offsetY = 0.0;
  return true;
}

EyeRig PrepareEyeRig(const Matrix& camera, const Matrix& eye, Int32 eyeIndex, const StereoRig& rig) {
  EyeRig eyeRig;
  eyeRig.rig = rig;
  eyeRig.eye = eye;
  eyeRig.eyeOffset = Inverse(eye).TransformDirection(eye.offset - camera.offset);
  eyeRig.head = rig.dome ? WithInverseFrameChange(camera) : camera;
  eyeRig.headInverse = Inverse(eyeRig.head);
  eyeRig.rigidHead = IsRigid(eyeRig.headInverse);
  eyeRig.convergingEye = IsConvergingEye(eyeIndex) && rig.zeroParallax > 0.0 && rig.separation > 0.0;
  const Matrix& head = eyeRig.head;
  const Float determinant = Dot(head.axisX, Cross(head.axisY, head.axisZ));
  eyeRig.invertibleHead = std::isnormal(determinant);
  eyeRig.eyeInHead = eyeRig.headInverse * eye;
  const Matrix inverseAxes = eyeRig.headInverse.GetRotationPart();
  eyeRig.axisMetric = inverseAxes * TransposedAxes(inverseAxes);
  eyeRig.axisSign = determinant < 0.0 ? -1.0 : 1.0;
  return eyeRig;
}

EyeMatrix EyeMatrixForRay(const EyeRig& eyeRig, const Vector& d, Float k) {
  EyeMatrix result;
  const Vector move = EyeMove(eyeRig.rig, d, eyeRig.eyeOffset, k);
  result.matrix = WithLocalMove(eyeRig.eye, move);
  if (eyeRig.rig.dome) result.matrix = WithInverseFrameChange(result.matrix);
  if (!eyeRig.convergingEye || k <= 0.0) return result;
  if (!eyeRig.invertibleHead || !ConvergeInHeadFrame(eyeRig, d, move.x, move.y, move.z, result))
    Converge(eyeRig, d, result);
  return result;
}

EyeMatrix EyeMatrixForRay(const Matrix& camera, const Matrix& eye, Int32 eyeIndex, const Vector& d,
                          const StereoRig& rig, Float k) {
  return EyeMatrixForRay(PrepareEyeRig(camera, eye, eyeIndex, rig), d, k);
}

Vector SeparationMapPoint(const Vector& d, Bool dome, Float fisheyeFov) {
  const Vector lensFrame = InverseFrameChange(d);
  if (dome) {
    Vector p = DomeUvFromDirection(lensFrame, fisheyeFov);
    p.z = 0.5;
    return p;
  }
  Vector p = EquirectUvFromDirection(lensFrame);
  p.y = 1.0 - p.y;
  p.z = 0.0;
  return p;
}

Float SeparationFactor(const ScalarMapSampler* map, const Vector& d, Bool dome, Float fisheyeFov) {
  if (map == nullptr) return 1.0;
  return map->SampleRed(SeparationMapPoint(d, dome, fisheyeFov));
}

Bool IsUsableSeparationFactor(Float k) { return std::fabs(k) <= kMaxSeparationFactor; }

Float UsableSeparationFactor(Float k) {
  if (!std::isfinite(k)) return 0.0;
  return std::clamp(k, -kMaxSeparationFactor, kMaxSeparationFactor);
}

}  // namespace orvex
