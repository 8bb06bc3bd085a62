#include "orvextag/stereo_diagram_draw.h"

#include "geometry/stereo_diagram.h"
#include "orvextag/orvextag.h"
#include "settings/camera_count.h"
#include "settings/orvextag_params.h"
#include "settings/separation_clone.h"
#include "settings/stereo_settings.h"

namespace {

constexpr Float kHeadSize = 5.0;
constexpr Int32 kThickLine = 5;
constexpr Int32 kThinLine = 1;
constexpr Int32 kDiagramLineFlags = 1;
const Vector kWhite(1.0, 1.0, 1.0);
// The tick's pen goes to the host as given, in the 0..255 range.
const Vector kTickPen(255.0, 255.0, 255.0);
const Vector kEyeColours[2] = {Vector(1.0, 0.0, 0.0), Vector(0.0, 1.0, 1.0)};

void SetLineWidth(BaseDraw* view, Int32 width) {
  view->SetDrawParam(DRAW_PARAMETER_LINEWIDTH, GeData(width));
}

// A sphere at the current matrix's origin and a thick line along the direction.
void DrawMarker(BaseDraw* view, const Vector& colour, const Vector& direction) {
  view->SetPen(colour);
  view->DrawSphere(Vector(), Vector(kHeadSize), colour, 0);
  SetLineWidth(view, kThickLine);
  view->DrawLine(Vector(), direction * orvex::kDirectionLineLength, kDiagramLineFlags);
}

// The separation factor in direction d, sampled once through a private clone of the map shader.
Float SeparationFactorOnce(const BaseContainer& data, BaseDocument* doc, const Vector& d) {
  if (!data.GetBool(ORVEXTAG_SEPARATION_MAP)) return 1.0;
  BaseShader* clone = CloneSeparationMap(data, doc);
  if (!clone) return 1.0;
  const ShaderSeparationMap map(clone);
  const Float k = orvex::SeparationFactor(&map, d, IsDomeStereo(data), data.GetFloat(ORVEXTAG_FISHEYE_FOV));
  FreeSeparationClone(clone);
  return orvex::UsableSeparationFactor(k);
}

// How many cameras a render would ask for, from the settings alone (never the effect's render-time
// answer, which rewrites the state a running render reads); 0 without the effect.
Int32 RenderCameraCount(BaseTag* tag, const BaseContainer& data) {
  BaseDocument* doc = tag->GetDocument();
  const BaseVideoPost* effect = FindVideoPost(tag, doc, false);
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!effect || !renderData) return 0;
  return CountCameras(*effect->GetDataInstance(), data, renderData->GetDataInstance()->GetBool(RDATA_STEREO))
      .Total();
}

}  // namespace

void DrawStereoDiagram(BaseTag* tag, BaseObject* object, BaseDraw* view, const Matrix& camera) {
  const BaseContainer& data = *tag->GetDataInstance();
  const Vector d = orvex::PreferredDirection(data.GetFloat(ORVEXTAG_STEREO_DIRECTION_LAT),
                                             data.GetFloat(ORVEXTAG_STEREO_DIRECTION_LON));
  const Vector direction = d.GetNormalized();
  const Bool dome = IsDomeStereo(data);
  const Matrix head = orvex::HeadFrame(camera, dome);
  view->SetMatrix_Matrix(object, head);
  DrawMarker(view, kWhite, direction);

  const Float separation = EyeSeparation(data);
  const Float zeroParallax = ZeroParallaxDistance(data);
  if (zeroParallax > 0.0) {
    SetLineWidth(view, kThinLine);
    view->DrawLine(Vector(), direction * zeroParallax, kDiagramLineFlags);
  }

  const Float k = SeparationFactorOnce(data, tag->GetDocument(), d);
  if (RenderCameraCount(tag, data) < 2 || !(k > 0.0)) return;
  const orvex::StereoRig rig{StereoRigOf(data), dome, zeroParallax, separation};
  for (Int32 eyeIndex = 0; eyeIndex < 2; ++eyeIndex) {
    orvex::SubView placement;
    if (!orvex::PlaceEye(camera, eyeIndex, separation, placement)) continue;
    const orvex::EyeMarker marker = orvex::EyeMarkerOf(camera, placement.matrix, eyeIndex, d, rig, k);
    view->SetMatrix_Matrix(object, marker.eye);
    DrawMarker(view, kEyeColours[eyeIndex], direction);
    if (!(zeroParallax > 0.0)) continue;
    SetLineWidth(view, kThinLine);
    view->DrawLine(Vector(), direction * marker.zeroParallaxLength, kDiagramLineFlags);
    view->SetMatrix_Matrix(object, head);
    view->SetPen(kTickPen);
    SetLineWidth(view, kThinLine);
    view->DrawLine(marker.tickFrom, marker.tickTo, kDiagramLineFlags);
  }
}
