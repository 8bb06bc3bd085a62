#include "geometry/scalar_math.h"
#include "orvextag/orvextag.h"
#include "orvextag/stereo_diagram_draw.h"
#include "orvextag/tag_links.h"
#include "settings/orvextag_params.h"

// The tag's viewport guide: what the projection covers around the camera, drawn as a wire frame and
// then as a translucent surface; nothing here affects rendering.

namespace {

constexpr Float kGuidePointSize = 2.0;
constexpr Int32 kSurfaceTransparency = -240;

bool IsKnownProjection(Int32 projection) {
  return projection >= ORVEXTAG_PROJECTION_EQUIRECT && projection <= ORVEXTAG_PROJECTION_CUBEMAP;
}

void DrawWire(BaseDraw* view, const orvex::GuideCache& guide, bool cube) {
  if (cube) return view->DrawBox(Matrix(), orvex::kGuideRadius, orvex::kGuideColour, true);
  for (size_t i = 0; i + 1 < guide.lines.size(); i += 2)
    view->DrawLine(guide.lines[i], guide.lines[i + 1], 0);
}

void DrawSurface(BaseDraw* view, const orvex::GuideCache& guide, bool cube) {
  if (cube) return view->DrawBox(Matrix(), orvex::kGuideRadius, orvex::kGuideColour, false);
  for (size_t i = 0; i + 4 <= guide.quads.size(); i += 4)
    view->DrawPoly(&guide.quads[i], &guide.colours[i], 4, &guide.normals[i]);
}

}  // namespace

Bool OrvexTag::BuildGuide(const BaseContainer& data, Int32 projection) {
  switch (projection) {
    case ORVEXTAG_PROJECTION_FISHEYE:
      orvex::BuildSphereSection(guide_, orvex::kGuideRadius, orvex::kTwoPi,
                                orvex::kHalfPi - data.GetFloat(ORVEXTAG_FISHEYE_FOV) * 0.5, orvex::kHalfPi);
      return true;
    case ORVEXTAG_PROJECTION_EQUIRECT:
      if (data.GetBool(ORVEXTAG_EQUIRECT_CUSTOM))
        orvex::BuildSphereSection(guide_, orvex::kGuideRadius, data.GetFloat(ORVEXTAG_EQUIRECT_HSPAN),
                                  data.GetFloat(ORVEXTAG_EQUIRECT_LAT_MIN),
                                  data.GetFloat(ORVEXTAG_EQUIRECT_LAT_MAX));
      else
        orvex::BuildSphereSection(guide_, orvex::kGuideRadius, orvex::kTwoPi, -orvex::kHalfPi,
                                  orvex::kHalfPi);
      return true;
    case ORVEXTAG_PROJECTION_CYLINDRICAL:
      orvex::BuildCylinder(guide_, data.GetFloat(ORVEXTAG_CYL_RADIUS), data.GetFloat(ORVEXTAG_CYL_HFOV),
                           data.GetFloat(ORVEXTAG_CYL_HEIGHT));
      return true;
    default:
      return false;  // the cubemap draws boxes and leaves the cache as it is
  }
}

Bool OrvexTag::Draw(BaseTag* tag, BaseObject* object, BaseDraw* view, BaseDrawHelp*) {
  if (!tag || !object || !view) return true;
  const BaseContainer& data = *tag->GetDataInstance();
  if (view->GetDrawPass() != DRAWPASS_OBJECT || !data.GetBool(ORVEXTAG_ENABLE)) return true;
  const Matrix camera = object->GetMg();
  const Int32 projection = data.GetInt32(ORVEXTAG_PROJECTION);
  if (view->HasCameraLink()) return true;
  // An unknown projection draws nothing rather than the cached guide of another one.
  if (!IsKnownProjection(projection)) return true;

  const GeData lineWidth = view->GetDrawParam(DRAW_PARAMETER_LINEWIDTH);
  const GeData alphaThreshold = view->GetDrawParam(DRAW_PARAMETER_ALPHA_THRESHOLD);
  view->SetPen(orvex::kGuideColour);
  view->SetPointSize(kGuidePointSize);

  const bool cube = !BuildGuide(data, projection);
  const bool upright =
      projection == ORVEXTAG_PROJECTION_EQUIRECT || projection == ORVEXTAG_PROJECTION_CYLINDRICAL;
  const bool alongX =
      projection == ORVEXTAG_PROJECTION_CYLINDRICAL && data.GetInt32(ORVEXTAG_CYL_ORIENTATION) == 1;
  view->SetMatrix_Matrix(object, orvex::GuideDrawMatrix(camera, upright, alongX));
  view->SetTransparency(0);
  DrawWire(view, guide_, cube);
  view->SetTransparency(kSurfaceTransparency);
  view->SetDepth(false);
  DrawSurface(view, guide_, cube);
  view->SetTransparency(0);
  view->SetMatrix_Matrix(nullptr, Matrix());

  if (IsStereoRender(tag) && data.GetBool(ORVEXTAG_STEREO_DIRECTION))
    DrawStereoDiagram(tag, object, view, camera);

  view->SetDrawParam(DRAW_PARAMETER_LINEWIDTH, lineWidth);
  view->SetDrawParam(DRAW_PARAMETER_ALPHA_THRESHOLD, alphaThreshold);
  view->SetDepth(true);
  return true;
}
