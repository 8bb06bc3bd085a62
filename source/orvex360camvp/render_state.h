#pragma once

#include "c4d.h"
#include "geometry/cubemap_layout.h"
#include "geometry/equirect_grid.h"
#include "geometry/eye_rig.h"
#include "geometry/lens.h"
#include "geometry/render_area.h"
#include "geometry/sub_view.h"
#include "orvex360camvp/overlay_state.h"
#include "settings/orvex360camvp_params.h"

#include <array>
#include <atomic>

// Everything the effect knows about the render in progress. Render start and Execute write it
// between camera renders; CreateRay and ExecutePixel only read it.
struct RenderState {
  // Scene links, refreshed by every camera search; not owned.
  BaseObject* camera = nullptr;
  BaseTag* tag = nullptr;
  BaseContainer* tagData = nullptr;

  Int32 enabled = 0;
  Int32 editorRender = 0;
  Bool sceneCameraSet = false;

  // The lens (projection read at render start, fov, spans, flags, mask mode, current face and eye,
  // pixel scale, margin).
  orvex::LensSettings lens;
  Float cylinderHeight = 0.0;

  // Stereo output.
  Bool stereo = false;
  Int32 stereoOutput = -1;  // the effect's stereo mode; none until a stereo render reads it
  Bool splitHorizontal = false;
  Bool splitVertical = false;
  Bool swapEyes = false;
  Int32 anaglyphColors = 0;
  Int32 anaglyphMethod = 0;
  Float anaglyphGamma = 1.0;
  Int32 interlacePattern = 0;
  Float eyeSeparation = 0.0;
  Float zeroParallax = 0.0;
  Int32 rigMode = 0;
  BaseShader* separationShader = nullptr;  // private clone, owned by the render
  orvex::EyeRig eyeRig;                    // the current eye, prepared at each camera start
  // Set by any render thread that met a separation-map value it had to replace; the only state
  // rays write, once, so that the sequence end can say so in one line.
  mutable std::atomic<Bool> separationMapReplaced{false};

  // Geometry of the output.
  orvex::RenderArea frameArea;
  orvex::RenderArea previewArea;
  orvex::RenderArea currentArea;
  orvex::RayPixelBounds rayBounds;   // of currentArea, set with it at each camera start
  orvex::EquirectGrid equirectGrid;  // the panorama lens at whole pixels, set with rayBounds
  std::array<orvex::SubView, 2> eyes;
  std::array<orvex::SubView, 6> faces;
  orvex::CubemapLayout layout;  // cells and gridSize
  Int32 facesPerEye = 1;
  Int32 eyeCount = 0;
  Int32 cameraCount = 0;
  Int32 cameraIndex = -1;
  BaseContainer renderSettings;  // copy of the host render's settings
  // Render start turned the host's stereo switch on only so that the host renders the cube faces;
  // the camera count of this render then still asks for one eye.
  Bool stereoSwitchedForCubemap = false;

  // The tagged camera's global matrix, taken at each camera start so rays never ask the host.
  Matrix cameraMatrix;

  // Fulldome overlays (mask image, logo, texts) and the dome's corner squares.
  OverlayState overlay;
};

inline bool IsEquirect(const RenderState& state) {
  return state.lens.projection == orvex::Projection::kEquirect;
}
inline bool IsFisheye(const RenderState& state) {
  return state.lens.projection == orvex::Projection::kFisheye;
}
inline bool IsCylindrical(const RenderState& state) {
  return state.lens.projection == orvex::Projection::kCylindrical;
}
inline bool IsCubemap(const RenderState& state) {
  return state.lens.projection == orvex::Projection::kCubemap;
}

inline bool IsAnaglyph(const RenderState& state) {
  return state.stereoOutput == ORVEXVP_STEREO_MODE_ANAGLYPH;
}
inline bool IsSideBySide(const RenderState& state) {
  return state.stereoOutput == ORVEXVP_STEREO_MODE_SIDE_BY_SIDE;
}
inline bool IsInterlaced(const RenderState& state) {
  return state.stereoOutput == ORVEXVP_STEREO_MODE_INTERLACED;
}
