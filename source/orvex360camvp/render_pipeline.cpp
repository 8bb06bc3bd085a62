#include "geometry/eye_rig.h"
#include "geometry/fisheye.h"
#include "geometry/lens.h"
#include "geometry/range_map.h"
#include "module_log.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvex360camvp/overlays.h"
#include "settings/camera_count.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"
#include "settings/separation_clone.h"
#include "settings/stereo_settings.h"

#include <cmath>
#include <string>

// The render-time half of the effect: the host calls these while a render runs. Render start and
// Execute write the render state between camera renders; CreateRay and ExecutePixel only read it.

namespace {

constexpr Int32 kRenderInfo =
    VIDEOPOSTINFO_CUSTOMLENS | VIDEOPOSTINFO_EXECUTEPIXEL | VIDEOPOSTINFO_EXECUTELINE;
constexpr Int32 kMarginPixels = 10;
// The host offers no graphics capability query; the opengl log lines print this.
constexpr Int32 kOpenGlCapability = 0;

// The document a render-time call works on: the given one, else the effect's own, else the active one.
BaseDocument* ResolveDocument(BaseDocument* doc, const GeListNode* node) {
  if (doc) return doc;
  if (node && node->GetDocument()) return node->GetDocument();
  return GetActiveDocument();
}

const BaseContainer& SettingsOf(BaseVideoPost* node, const NodeData& data) {
  static const BaseContainer kEmpty;
  const BaseList2D* list = node ? node : static_cast<const BaseList2D*>(data.Get());
  return list ? *list->GetDataInstance() : kEmpty;
}

void LogArea(const char* label, const orvex::RenderArea& area) {
  ModuleLog("%s start [%.2f/%.2f] end [%.2f/%.2f] size [%d,%d]", label, area.GetStart().x, area.GetStart().y,
            area.GetEnd().x, area.GetEnd().y, area.GetWidth(), area.GetHeight());
}

void ReadLensSettings(RenderState& state, const BaseContainer& tag) {
  orvex::LensSettings& lens = state.lens;
  if (IsFisheye(state)) {
    lens.fov = tag.GetFloat(ORVEXTAG_FISHEYE_FOV);
  } else if (IsEquirect(state)) {
    lens.fov = tag.GetFloat(ORVEXTAG_EQUIRECT_HSPAN);
  } else if (IsCylindrical(state)) {
    lens.fov = tag.GetFloat(ORVEXTAG_CYL_HFOV);
  }
  const Float span = orvex::RangeMap(lens.fov, 0.0, orvex::kTwoPi, 0.0, 1.0, true);
  lens.uMin = (1.0 - span) * 0.5;
  lens.uMax = lens.uMin + span;
  lens.vMin = orvex::RangeMap(tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MIN), -orvex::kHalfPi, orvex::kHalfPi, 0.0,
                              1.0, true);
  lens.vMax = orvex::RangeMap(tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MAX), -orvex::kHalfPi, orvex::kHalfPi, 0.0,
                              1.0, true);
  lens.equirectCustom = tag.GetBool(ORVEXTAG_EQUIRECT_CUSTOM);
  lens.cylinderTurned = tag.GetInt32(ORVEXTAG_CYL_ORIENTATION) == 1;
  state.cylinderHeight = tag.GetFloat(ORVEXTAG_CYL_HEIGHT);
}

void ReadStereoSettings(RenderState& state, const BaseContainer& effect, const BaseContainer& tag) {
  state.stereoOutput = effect.GetInt32(ORVEXVP_STEREO_MODE);
  const Int32 sideLayout = effect.GetInt32(ORVEXVP_SIDE_LAYOUT);
  state.splitHorizontal = IsSideBySide(state) && sideLayout == 0;
  state.splitVertical = IsSideBySide(state) && sideLayout == 1;
  state.swapEyes = effect.GetBool(ORVEXVP_SWAP_EYES);
  state.lens.eyeShift = effect.GetInt32(ORVEXVP_EYE_SHIFT);
  state.anaglyphColors = effect.GetInt32(ORVEXVP_ANAGLYPH_COLORS);
  state.anaglyphMethod = effect.GetInt32(ORVEXVP_ANAGLYPH_METHOD);
  state.anaglyphGamma = effect.GetFloat(ORVEXVP_ANAGLYPH_GAMMA);
  state.interlacePattern = effect.GetInt32(ORVEXVP_INTERLACE);
  state.zeroParallax = ZeroParallaxDistance(tag);
  state.rigMode = StereoRigOf(tag);
  state.lens.domeStereo = IsDomeStereo(tag);
}

void FreeSeparationShader(RenderState& state) { FreeSeparationClone(state.separationShader); }

// A private clone of the separation-map shader, so that the render samples no shader the
// viewport drawing also uses.
void CloneSeparationShader(RenderState& state, const BaseContainer& tag, BaseDocument* doc) {
  FreeSeparationShader(state);
  state.separationShader = CloneSeparationMap(tag, doc);
}

// Editor renders show the projection letterboxed to its own aspect inside the view.
void FitPreviewArea(RenderState& state, const BaseContainer& tag) {
  const Float tagAspect = tag.GetFloat(ORVEXTAG_ASPECT);
  if (!state.editorRender || tagAspect <= 0.0) return;
  const Float target = IsCubemap(state) ? 1.0 : tagAspect;
  orvex::RenderArea& area = state.previewArea;
  const Float width = area.GetWidth();
  const Float height = area.GetHeight();
  if (area.GetAspect() > target) {
    const Float used = std::trunc(height * target);
    const Float gap = std::trunc(static_cast<Float32>(width - used) * 0.5f);
    area.SetStartX(area.GetStart().x + gap);
    area.SetEndX(area.GetEnd().x - gap);
  } else if (target > area.GetAspect()) {
    const Float used = std::trunc(width / target);
    const Float gap = std::trunc(static_cast<Float32>(height - used) * 0.5f);
    area.SetStartY(area.GetStart().y + gap);
    area.SetEndY(area.GetEnd().y - gap);
  }
  LogArea("PREVIEW", area);
}

// Eye index of each eye slot: left then right unless swapped; a single eye is the one chosen.
Int32 EyeIndexOfSlot(const RenderState& state, const BaseContainer& effect, Int32 slot) {
  if (state.eyeCount == 1) return effect.GetInt32(ORVEXVP_SINGLE_EYE) != 0 ? 1 : 0;
  return state.swapEyes ? 1 - slot : slot;
}

void ApplySideBySideFlips(orvex::SubView& eye, const BaseContainer& effect) {
  const Bool left = eye.index == 0;
  eye.flipU = effect.GetBool(left ? ORVEXVP_LEFT_FLIP_U : ORVEXVP_RIGHT_FLIP_U);
  eye.flipV = effect.GetBool(left ? ORVEXVP_LEFT_FLIP_V : ORVEXVP_RIGHT_FLIP_V);
}

// Splits the frame between the eyes side by side (columns) or one above the other (rows).
void SplitEyeArea(const RenderState& state, Int32 slot, orvex::RenderArea& area) {
  if (state.eyeCount <= 0) return;
  if (state.splitHorizontal) {
    const Int32 w = area.GetWidth() / state.eyeCount;
    area.SetStartX(slot * w);
    area.SetEndX((slot + 1) * w - 1);
  } else if (state.splitVertical) {
    const Int32 h = area.GetHeight() / state.eyeCount;
    area.SetStartY(slot * h);
    area.SetEndY((slot + 1) * h - 1);
  }
}

void PlaceFacesOfLayout(RenderState& state) {
  const orvex::RenderArea& frame = state.eyes[0].area;
  const Int32 columns = static_cast<Int32>(state.layout.gridSize.x);
  const Int32 rows = static_cast<Int32>(state.layout.gridSize.y);
  if (columns <= 0 || rows <= 0) return;
  const Float cellWidth = static_cast<Float>(frame.GetWidth()) / columns;
  const Float cellHeight = static_cast<Float>(frame.GetHeight()) / rows;
  Int32 slot = 0;
  for (Int32 row = 0; row < rows && row < orvex::CubemapLayout::kMaxCells; ++row) {
    for (Int32 column = 0; column < columns && column < orvex::CubemapLayout::kMaxCells; ++column) {
      const orvex::SubView& cell = state.layout.cells[column][row];
      if (cell.index < 0 || slot >= static_cast<Int32>(state.faces.size())) continue;
      orvex::SubView& face = state.faces[slot];
      face = cell;
      face.area = orvex::RenderArea(
          Vector(std::trunc(column * cellWidth), std::trunc(row * cellHeight), 0.0),
          Vector(std::trunc((column + 1) * cellWidth - 1.0), std::trunc((row + 1) * cellHeight - 1.0), 0.0));
      ModuleLog("CUBEMAP AREA ch [%d] xy [%d,%d] start [%.2f/%.2f] end [%.2f/%.2f]", slot, column, row,
                face.area.GetStart().x, face.area.GetStart().y, face.area.GetEnd().x, face.area.GetEnd().y);
      ++slot;
    }
  }
}

// Moves a cylindrical ray's origin along the cylinder axis instead of turning it.
Vector CylinderOrigin(const RenderState& state, Float u, Float v) {
  if (!IsCylindrical(state)) return {};
  const Float half = state.cylinderHeight * 0.5;
  if (state.lens.cylinderTurned) return {orvex::RangeMap(u, 0.0, 1.0, -half, half, false), 0.0, 0.0};
  return {0.0, orvex::RangeMap(v, 0.0, 1.0, half, -half, false), 0.0};
}

void StereoRay(const RenderState& state, const Vector& d, const Vector& origin, Ray& ray) {
  Float k = 1.0;
  if (state.separationShader) {
    const ShaderSeparationMap map(state.separationShader);
    k = orvex::SeparationFactor(&map, d, state.lens.domeStereo, state.lens.fov);
    if (!orvex::IsUsableSeparationFactor(k)) {
      if (!state.separationMapReplaced.load(std::memory_order_relaxed))
        state.separationMapReplaced.store(true, std::memory_order_relaxed);
      k = orvex::UsableSeparationFactor(k);
    }
  }
  const Matrix eye = orvex::EyeMatrixForRay(state.eyeRig, d, k).matrix;
  ray.v = eye.TransformDirection(d);
  // The cylinder axis follows the camera's own turn, whichever way the eye converges.
  ray.p = eye.offset + state.cameraMatrix.TransformDirection(origin);
}

}  // namespace

RENDERRESULT Orvex360CamVP::AllocateBuffers(BaseVideoPost* node, Render* render, BaseDocument* doc) {
  ModuleLog("------- STARTING -------");
  doc = ResolveDocument(doc, Get());
  BaseDraw* view = SearchCamera(doc);
  state.sceneCameraSet = false;
  state.stereoSwitchedForCubemap = false;
  Bool active = true;
  if (CheckIsRunning(CHECKISRUNNING_EDITORRENDERING) && state.tagData) {
    BaseDraw* renderView = doc && doc->GetRenderBaseDraw() ? doc->GetRenderBaseDraw() : view;
    if (renderView && renderView->IsAlternateRenderState()) {
      active = state.tagData->GetBool(ORVEXTAG_EDITOR_RENDER_ALT);
    } else {
      active = state.tagData->GetBool(ORVEXTAG_EDITOR_RENDER);
      if (active && renderView && !renderView->GetSceneCamera(doc)) state.sceneCameraSet = true;
    }
  }

  state.enabled = 0;
  if (!state.camera) {
    ModuleLog("No Orvex camera found! Create a camera on the Plugins Menu.");
    return RENDERRESULT_OK;
  }
  if (!state.tag || !state.tagData) {
    ModuleLog("No Orvex tag found! Add a Orvex tag to the active camera.");
    return RENDERRESULT_OK;
  }
  state.enabled = active && state.tagData->GetBool(ORVEXTAG_ENABLE);
  if (!state.enabled) return RENDERRESULT_OK;

  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (render) {
    state.renderSettings = render->GetRenderData();
  } else if (renderData) {
    state.renderSettings = renderData->GetData();
  }
  state.lens.projection = static_cast<orvex::Projection>(state.tagData->GetInt32(ORVEXTAG_PROJECTION));
  state.cameraCount = StereoGetCameraCountRenderer(node, doc, renderData);
  state.stereo = state.renderSettings.GetBool(RDATA_STEREO) && !state.stereoSwitchedForCubemap;
  if (state.cameraCount == 0) {
    state.enabled = 0;
    return RENDERRESULT_OK;
  }
  if (RendersSixFaces(SettingsOf(node, *this), *state.tagData)) {
    // The host renders the six faces through its stereo cameras. A switch turned on here only for
    // that must not double the cameras into two eyes when the host asks for the count again.
    state.stereoSwitchedForCubemap = !state.stereo;
    state.renderSettings.SetBool(RDATA_STEREO, true);
    if (render) render->SetRenderData(state.renderSettings);
    const BaseContainer applied = render ? render->GetRenderData() : state.renderSettings;
    ModuleLog("> CUBEMAP SETTING stereo [%d]", applied.GetBool(RDATA_STEREO) ? 1 : 0);
  }
  return RENDERRESULT_OK;
}

void Orvex360CamVP::FreeBuffers(BaseVideoPost*) { state.stereoSwitchedForCubemap = false; }

Int32 Orvex360CamVP::GetRenderInfo(BaseVideoPost*) { return state.enabled ? kRenderInfo : VIDEOPOSTINFO_0; }

RENDERRESULT Orvex360CamVP::Execute(BaseVideoPost* node, VideoPostStruct* vps) {
  if (!state.enabled || !vps) return RENDERRESULT_OK;
  switch (vps->vp) {
    case VIDEOPOSTCALL_FRAMESEQUENCE:
      if (vps->open) {
        StartSequence(node, vps);
      } else {
        EndSequence(vps);
      }
      break;
    case VIDEOPOSTCALL_RENDER:
      if (vps->open) {
        StartCamera();
      } else {
        ModuleLog("Orvex360CamVP::Execute VIDEOPOSTCALL_FRAME > opengl [%d]", kOpenGlCapability);
        overlays::Draw(state, vps->doc ? vps->doc->GetActiveBaseDraw() : nullptr, vps->time);
      }
      break;
    default:
      break;
  }
  return RENDERRESULT_OK;
}

void Orvex360CamVP::StartSequence(BaseVideoPost* node, VideoPostStruct* vps) {
  BaseDocument* doc = ResolveDocument(vps->doc, Get());
  if (!state.camera || !state.tagData) {
    // The camera or its tag went away since render start: render as if the effect were absent.
    state.enabled = 0;
    return;
  }
  const BaseContainer& effect = SettingsOf(node, *this);
  const BaseContainer& tag = *state.tagData;
  BaseDraw* view = doc ? doc->GetActiveBaseDraw() : nullptr;
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  BaseContainer renderSettings;
  if (vps->render) {
    renderSettings = vps->render->GetRenderData();
  } else if (renderData) {
    renderSettings = renderData->GetData();
  }

  ModuleLog("Orvex360CamVP::Execute VIDEOPOSTCALL_FRAMESEQUENCE > opengl [%d]", kOpenGlCapability);
  if (state.sceneCameraSet && view) view->SetSceneCamera(state.camera, false);

  ReadLensSettings(state, tag);
  state.lens.maskMode = effect.GetInt32(ORVEXVP_MASK_MODE);
  overlays::Load(state, effect, doc, renderSettings);

  if (state.editorRender) state.stereo = false;
  state.lens.stereo = state.stereo;
  if (state.stereo) {
    ReadStereoSettings(state, effect, tag);
    if (tag.GetBool(ORVEXTAG_SEPARATION_MAP)) CloneSeparationShader(state, tag, doc);
  }

  const Vector size(renderSettings.GetFloat(RDATA_XRES), renderSettings.GetFloat(RDATA_YRES), 0.0);
  state.frameArea = orvex::RenderArea::FromStartAndSize(Vector(), size);
  state.previewArea = state.frameArea;
  FitPreviewArea(state, tag);
  LogArea("AREA", state.frameArea);
  state.cameraIndex = -1;
  for (orvex::SubView& eye : state.eyes) eye.Reset();

  PlaceEyes(node);
  PlaceFaces();
}

void Orvex360CamVP::PlaceEyes(BaseVideoPost* node) {
  if (!state.stereo) {
    state.eyes[0].area = state.frameArea;
    state.eyes[0].index = 0;
    return;
  }
  const BaseContainer& effect = SettingsOf(node, *this);
  for (Int32 slot = 0; slot < state.eyeCount && slot < static_cast<Int32>(state.eyes.size()); ++slot) {
    orvex::SubView& eye = state.eyes[slot];
    eye.index = EyeIndexOfSlot(state, effect, slot);
    if (IsSideBySide(state)) ApplySideBySideFlips(eye, effect);
    eye.area = state.frameArea;
    SplitEyeArea(state, slot, eye.area);
    ModuleLog("STEREO ch [%d] start [%.2f/%.2f] end [%.2f/%.2f] size [%d,%d]", slot, eye.area.GetStart().x,
              eye.area.GetStart().y, eye.area.GetEnd().x, eye.area.GetEnd().y, eye.area.GetWidth(),
              eye.area.GetHeight());
  }
}

void Orvex360CamVP::PlaceFaces() {
  for (orvex::SubView& face : state.faces) face.Reset();
  if (!IsCubemap(state)) {
    // The eye's own flips apply once, through the current eye: face 0 carries none, or every
    // camera would get slot 0's flips once more.
    state.faces[0] = state.eyes[0];
    state.faces[0].index = 0;
    state.faces[0].flipU = false;
    state.faces[0].flipV = false;
    state.faces[0].rotation = 0;
    LogArea("FRAME", state.faces[0].area);
    return;
  }
  BuildLayout(state.editorRender != 0);
  PlaceFacesOfLayout(state);
}

void Orvex360CamVP::StartCamera() {
  const Int32 count = state.cameraCount > 0 ? state.cameraCount : 1;
  const Int32 facesPerEye = state.facesPerEye > 0 ? state.facesPerEye : 1;
  state.cameraIndex = (state.cameraIndex + 1) % count;
  const Int32 face = state.cameraIndex % facesPerEye;
  const Int32 eye = state.cameraIndex / facesPerEye;
  state.lens.currentFace = state.faces[face % static_cast<Int32>(state.faces.size())];
  state.lens.currentEye = state.eyes[eye % static_cast<Int32>(state.eyes.size())];

  if (state.editorRender) {
    state.currentArea = state.previewArea;
  } else {
    state.currentArea = state.lens.currentFace.area;
    state.currentArea.MoveBy(state.lens.currentEye.area.GetStart());
  }
  state.lens.pixelScale = Vector(1.0f / static_cast<Float32>(state.currentArea.GetWidth()),
                                 1.0f / static_cast<Float32>(state.currentArea.GetHeight()), 0.0);
  state.lens.marginPixels = kMarginPixels;
  state.rayBounds = orvex::RayBoundsOf(state.currentArea, state.lens);
  state.equirectGrid.Prepare(state.lens, state.currentArea, state.rayBounds);

  state.cameraMatrix = state.camera ? state.camera->GetMg() : Matrix();
  if (state.stereo) {
    const orvex::StereoRig rig{state.rigMode, state.lens.domeStereo, state.zeroParallax, state.eyeSeparation};
    orvex::SubView& currentEye = state.lens.currentEye;
    // Placed here, once per camera: the camera may have moved since the sequence started, and the
    // eye stands beside it as it is now.
    if (!orvex::PlaceEye(state.cameraMatrix, currentEye.index, state.eyeSeparation, currentEye))
      currentEye.matrix = state.cameraMatrix;
    state.eyeRig = orvex::PrepareEyeRig(state.cameraMatrix, currentEye.matrix, currentEye.index, rig);
  }
  if (IsFisheye(state)) overlays::Geometry(state);
}

void Orvex360CamVP::EndSequence(VideoPostStruct* vps) {
  BaseDraw* view = vps->doc ? vps->doc->GetActiveBaseDraw() : nullptr;
  if (state.sceneCameraSet && view) view->SetSceneCamera(nullptr, false);
  FreeSeparationShader(state);
  if (state.separationMapReplaced.exchange(false))
    ModuleLog("Separation map: values that are no number were used as 0, values beyond +/-%g as +/-%g",
              orvex::kMaxSeparationFactor, orvex::kMaxSeparationFactor);
  if (IsCubemap(state) && state.editorRender) BuildLayout(false);
  ModuleLog("------- FINISH -------");
}

void Orvex360CamVP::ExecuteLine(BaseVideoPost*, PixelPost*) {}

void Orvex360CamVP::ExecutePixel(BaseVideoPost*, PixelPost* pixel, Int32 x, Int32, Int32) {
  if (!state.enabled || !pixel || !pixel->col) return;
  const bool domeCircle = IsFisheye(state) && state.lens.maskMode == orvex::kMaskModeCircle;
  // Only an editor render's margin and the dome circle blank pixels: other renders keep them all.
  if (!state.editorRender && !domeCircle) return;
  const Vector uv = orvex::PixelToUv(state.currentArea, x, pixel->line);
  Bool blank = state.editorRender && (uv.x < 0.0 || uv.x > 1.0 || uv.y < 0.0 || uv.y > 1.0);
  if (!blank && domeCircle) blank = orvex::IsOutsideDomeCircle(uv.x, uv.y);
  if (!blank) return;
  pixel->col[0] = pixel->col[1] = pixel->col[2] = 0.0f;
  if (pixel->comp >= 4) pixel->col[3] = 1.0f;
}

void Orvex360CamVP::CreateRay(Ray* ray, Float x, Float y) {
  if (!state.enabled || !ray) return;
  // Far outside this camera's area (another face's or eye's pixels): refused without the mapping.
  if (!state.rayBounds.Contains(x, y)) {
    ray->p = Vector();
    ray->v = Vector();
    return;
  }
  Vector d;
  Float u = 0.0;
  Float v = 0.0;
  if (!state.equirectGrid.Find(x, y, d, u, v)) {
    const Vector uv = orvex::PixelToUv(state.currentArea, x, y);
    u = uv.x;
    v = uv.y;
    d = orvex::LensDirection(state.lens, u, v);
  }
  if (d == Vector()) {
    ray->p = Vector();
    ray->v = Vector();
    return;
  }
  const Vector origin = CylinderOrigin(state, u, v);
  if (state.stereo) {
    StereoRay(state, d, origin, *ray);
    return;
  }
  ray->v = state.cameraMatrix.TransformDirection(d);
  ray->p = state.cameraMatrix.TransformPoint(origin);
}

Int32 Orvex360CamVP::StereoGetCameraCountEditor(BaseVideoPost*, BaseDocument*, BaseDraw*) { return 0; }

Int32 Orvex360CamVP::StereoGetCameraCountRenderer(BaseVideoPost* node, BaseDocument* doc,
                                                  RenderData* renderData) {
  state.facesPerEye = 1;
  state.eyeCount = 0;
  SearchCamera(doc);
  if (!state.camera || !state.tagData) return 0;
  if (state.editorRender) return 1;
  const Bool stereoSwitch =
      renderData && renderData->GetDataInstance()->GetBool(RDATA_STEREO) && !state.stereoSwitchedForCubemap;
  const CameraCount count = CountCameras(SettingsOf(node, *this), *state.tagData, stereoSwitch);
  state.facesPerEye = count.facesPerEye;
  state.eyeCount = count.eyeCount;
  return count.Total();
}

Bool Orvex360CamVP::StereoGetCameraInfo(BaseVideoPost*, BaseDocument*, BaseDraw*, RenderData*, Int32 index,
                                        StereoCameraInfo& info) {
  if (!state.camera || !state.tagData) return false;
  orvex::SubView eye;
  if (!orvex::PlaceEye(state.camera->GetMg(), index, state.eyeSeparation, eye)) return false;
  info.m = eye.matrix;
  info.offset_x = eye.offsetX;
  info.offset_y = eye.offsetY;
  info.strName = String::IntToString(index);
  return true;
}
