#include "orvex360camvp/overlays.h"

#include "geometry/scalar_math.h"
#include "module_log.h"
#include "orvex360camvp/overlay_images.h"
#include "orvex360camvp/overlay_text.h"
#include "settings/orvex360camvp_params.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace overlays {
namespace {

constexpr Int32 kLogoNone = 2;
constexpr Int32 kLogoBuiltIn = 0;
constexpr Int32 kLogoFile = 1;
constexpr const char* kTitle = "Orvex 360 Cam";

GeData DocumentParameter(BaseDocument* doc, Int32 id) {
  GeData data;
  if (doc && !doc->GetParameter(DescID(id), data, DESCFLAGS_GET_0)) data = GeData();
  return data;
}

void ReadSettings(OverlayState& overlay, const RenderState& state, const BaseContainer& effect) {
  overlay.overlayOn = IsFisheye(state) && effect.GetBool(ORVEXVP_OVERLAY);
  overlay.showFrameNumber = overlay.overlayOn && effect.GetBool(ORVEXVP_SHOW_FRAME);
  overlay.showTimecode = overlay.overlayOn && effect.GetBool(ORVEXVP_SHOW_TIME);
  overlay.showInfo = overlay.overlayOn && effect.GetBool(ORVEXVP_SHOW_INFO);
  overlay.showCustomText = overlay.overlayOn && effect.GetBool(ORVEXVP_SHOW_TEXT);
  overlay.logoMode = overlay.overlayOn ? effect.GetInt32(ORVEXVP_LOGO_MODE) : kLogoNone;
  overlay.customText = effect.GetString(ORVEXVP_TEXT);
  overlay.textSize = effect.GetFloat(ORVEXVP_TEXT_SIZE);
}

// Empties a bitmap the effect keeps, making it once; it stays null when no memory is left.
void EmptyBitmap(OverlayBitmap& bitmap) {
  if (!bitmap) bitmap.reset(BaseBitmap::Alloc());
  if (bitmap) bitmap->FlushAll();
}

void LoadLogo(OverlayState& overlay, const BaseContainer& effect) {
  if (overlay.logoMode == kLogoNone) return;
  if ((overlay.logoMode != kLogoBuiltIn && overlay.logoMode != kLogoFile) || !overlay.logoBitmap) {
    overlay.logoMode = kLogoNone;
    return;
  }
  const Filename path = overlay.logoMode == kLogoBuiltIn
                            ? GeGetPluginPath() + Filename("res") + Filename("Orvex360Cam.png")
                            : effect.GetFilename(ORVEXVP_LOGO_FILE);
  if (!overlay_images::Load(*overlay.logoBitmap, path, "Logo")) overlay.logoMode = kLogoNone;
}

void LoadMask(RenderState& state, const BaseContainer& effect) {
  OverlayBitmap& mask = state.overlay.maskBitmap;
  if (state.lens.maskMode != orvex::kMaskModeImage) return;
  const Filename path = effect.GetFilename(ORVEXVP_MASK_FILE);
  if (!mask || !overlay_images::Load(*mask, path, "Mask")) {
    // No file chosen: nothing to lay over the corners, yet the lens still stops at the dome circle.
    if (mask && !path.Content()) return;
    state.lens.maskMode = orvex::kMaskModeNone;
    return;
  }
  if (!mask->HasAlpha()) {
    ModuleLog("Mask image has no alpha channel: its brightness sets how much of the render shows");
    overlay_images::CoverageFromBrightness(*mask);
  }
}

// --- Drawing

void DrawBitmapOver(BaseDraw& view, const BaseBitmap& bitmap, const orvex::RenderArea& area, Int32 alphaMode,
                    Int32 flags) {
  const std::array<Vector, 4> points = orvex::AreaCorners(area);
  const Vector colours[4] = {Vector(1, 1, 1), Vector(1, 1, 1), Vector(1, 1, 1), Vector(1, 1, 1)};
  const Vector normals[4] = {Vector(0, 0, -1), Vector(0, 0, -1), Vector(0, 0, -1), Vector(0, 0, -1)};
  const Vector uvw[4] = {Vector(0, 0, 0), Vector(1, 0, 0), Vector(1, 1, 0), Vector(0, 1, 0)};
  view.DrawTexture(&bitmap, points.data(), colours, normals, uvw, 4, alphaMode, flags);
}

// The corner square of the logo, widened (or heightened) by the dome area's aspect.
orvex::RenderArea LogoArea(const RenderState& state) {
  orvex::RenderArea area = state.overlay.cornerBottomRight;
  const Float aspect = state.currentArea.GetAspect();
  if (aspect > 1.0) area.SetStartX(area.GetEnd().x - area.GetWidth() * aspect);
  if (aspect < 1.0 && aspect > 0.0) area.SetStartY(area.GetEnd().y - area.GetHeight() / aspect);
  return area;
}

// An inclusive pixel rectangle that grows to hold what is included, kept inside a square map.
struct TextBox {
  Int32 x0 = 0, y0 = 0, x1 = -1, y1 = -1;

  void Include(Int64 left, Int64 top, Int64 right, Int64 bottom, Int32 size) {
    const auto inside = [size](Int64 value) {
      return static_cast<Int32>(std::clamp<Int64>(value, 0, size - 1));
    };
    if (right < 0 || bottom < 0 || left >= size || top >= size) return;
    const bool empty = x1 < x0;
    x0 = empty ? inside(left) : std::min(x0, inside(left));
    y0 = empty ? inside(top) : std::min(y0, inside(top));
    x1 = empty ? inside(right) : std::max(x1, inside(right));
    y1 = empty ? inside(bottom) : std::max(y1, inside(bottom));
  }
};

// Writes texts into a square clip map of the dome's size.
class TextLayer {
 public:
  TextLayer(GeClipMap& map, OverlayState& overlay, Int32 size)
      : map_(map), overlay_(overlay), size_(size), margin_(static_cast<Int32>(size * 0.005)) {}

  void UseFont(GE_FONT_DEFAULT kind, Float pixels) {
    BaseContainer font;
    GeClipMap::GetDefaultFont(kind, &font);
    map_.SetFont(&font, pixels);
  }

  // Lines from the top margin down, left-aligned at the margin or right-aligned to it.
  void Lines(const std::vector<std::string>& lines, bool rightAligned) {
    Int32 y = margin_;
    for (const std::string& line : lines) {
      const Int32 width = Width(line);
      Write(rightAligned ? size_ - margin_ - width : margin_, y, width, line);
      y += map_.GetTextHeight();
    }
  }

  void At(Int32 x, Int32 y, const std::string& text) { Write(x, y, Width(text), text); }

  Int32 Width(const std::string& text) {
    const Int32 width = map_.GetTextWidth(text);
    if (width > size_ - 2 * margin_ && !overlay_.textCutReported) {
      overlay_.textCutReported = true;
      ModuleLog("Overlay text wider than the dome is cut at its edge");
    }
    return width;
  }

  Int32 Height() { return map_.GetTextHeight(); }
  Int32 Margin() const { return margin_; }
  Int32 Size() const { return size_; }
  // The pixels the texts can have touched, inside the map; empty (x1 < x0) before any text.
  const TextBox& Touched() const { return touched_; }

 private:
  void Write(Int32 x, Int32 y, Int32 width, const std::string& text) {
    map_.TextAt(x, y, text);
    // Glyphs may reach past their advance and line: a line's height around the box covers that.
    const Int64 pad = map_.GetTextHeight();
    touched_.Include(x - pad, y - pad, Int64(x) + width + pad, Int64(y) + 2 * pad, size_);
  }

  GeClipMap& map_;
  OverlayState& overlay_;
  Int32 size_;
  Int32 margin_;
  TextBox touched_;
};

std::vector<std::string> InfoLines(const RenderState& state) {
  const OverlayState& overlay = state.overlay;
  const Float fps = overlay.fps;
  const Int32 fallback = overlay.documentFps;
  const BaseTime total(overlay.docMaxTime.Get() - overlay.docMinTime.Get());
  const Int32 frames = overlay_text::FrameOfTime(overlay.docMaxTime, fps, fallback) -
                       overlay_text::FrameOfTime(overlay.docMinTime, fps, fallback) + 1;
  char rate[64];
  std::snprintf(rate, sizeof(rate), "Frame Rate: %.2f", fps);
  std::string text = overlay.documentName.GetString().GetStdString();
  text += "\nResolution: " + std::to_string(state.currentArea.GetWidth()) + " x " +
          std::to_string(state.currentArea.GetHeight());
  text += "\nTotal Time: " + overlay_text::TimeText(total, fps, fallback);
  text += "\nTotal Frames: " + overlay_text::FrameText(frames);
  text += "\n" + std::string(rate);
  text += "\n" + overlay.dateText;
  return overlay_text::SplitLines(text);
}

void WriteTimecode(TextLayer& layer, const OverlayState& overlay, const BaseTime& time) {
  const Int32 m = layer.Margin();
  layer.UseFont(GE_FONT_DEFAULT_MONOSPACED, layer.Size() / 30.0);
  Int32 y = layer.Size() - 2 * m;
  if (overlay.showTimecode) {
    y -= layer.Height();
    layer.At(3 * m, y, overlay_text::TimeText(time, overlay.fps, overlay.documentFps));
  }
  if (overlay.showFrameNumber) {
    y -= layer.Height();
    layer.At(3 * m, y,
             overlay_text::FrameText(overlay_text::FrameOfTime(time, overlay.fps, overlay.documentFps)));
  }
}

void WriteTitle(TextLayer& layer, const OverlayState& overlay) {
  const Int32 d = layer.Size();
  layer.UseFont(GE_FONT_DEFAULT_SYSTEM, d / 75.0);
  const Float k = overlay.cornerSize;
  const Int32 x = static_cast<Int32>(std::trunc((d - k) + (k - layer.Width(kTitle)) * 0.5));
  layer.At(x, d - layer.Margin() - layer.Height(), kTitle);
}

void WriteTexts(TextLayer& layer, const RenderState& state, const BaseTime& time) {
  const OverlayState& overlay = state.overlay;
  layer.UseFont(GE_FONT_DEFAULT_SYSTEM, layer.Size() / 100.0 * overlay.textSize);
  if (overlay.showCustomText) layer.Lines(overlay_text::SplitLines(overlay.customText.GetStdString()), false);
  if (overlay.showInfo) layer.Lines(InfoLines(state), true);
  if (overlay.showTimecode || overlay.showFrameNumber) WriteTimecode(layer, overlay, time);
  if (overlay.logoMode == kLogoBuiltIn) WriteTitle(layer, overlay);
}

// White wherever the text's red channel says it covers: the copy drawn over the dome area. Only
// the box the texts touched is walked: elsewhere the copy is transparent, and stays so.
void WhiteByCoverage(BaseBitmap& copy, const TextBox& touched) {
  copy.AddAlpha();
  for (Int32 y = touched.y0; y <= touched.y1; ++y) {
    for (Int32 x = touched.x0; x <= touched.x1; ++x) {
      UInt32 r = 0, g = 0, b = 0;
      copy.GetPixel(x, y, &r, &g, &b);
      copy.SetPixel(x, y, 255, 255, 255);
      copy.SetAlpha(x, y, r / 255.0);
    }
  }
}

void DrawTexts(RenderState& state, BaseDraw& view, const BaseTime& time) {
  const OverlayState& overlay = state.overlay;
  const Int32 size = static_cast<Int32>(std::trunc(overlay.domeDiameter));
  GeClipMap* map = size >= 1 ? GeClipMap::Alloc() : nullptr;
  if (!map || map->Init(size, size, 32) != IMAGERESULT_OK) {
    ModuleLog("Overlay text skipped: no text surface of %d x %d pixels", size, size);
    GeClipMap::Free(map);
    return;
  }
  map->BeginDraw();
  map->SetColor(255, 255, 255, 255);
  TextLayer layer(*map, state.overlay, size);
  WriteTexts(layer, state, time);
  map->EndDraw();
  const BaseBitmap* surface = map->GetBitmap();
  BaseBitmap* copy = surface ? surface->GetClone() : nullptr;
  if (copy && !copy->IsEmpty()) {
    WhiteByCoverage(*copy, layer.Touched());
    DrawBitmapOver(view, *copy, state.currentArea, DRAW_ALPHA_NORMAL_FROM_IMAGE, DRAW_TEXTUREFLAGS_0);
  } else {
    ModuleLog("Overlay text skipped: its bitmap cannot be had");
  }
  BaseBitmap::Free(copy);
  GeClipMap::Free(map);
}

bool HasTexts(const OverlayState& overlay) {
  return overlay.showInfo || overlay.showCustomText || overlay.showFrameNumber || overlay.showTimecode ||
         overlay.logoMode == kLogoBuiltIn;
}

// Logo and mask images: the alpha mode draws an image without an alpha channel as opaque.
constexpr Int32 kImageAlpha = DRAW_ALPHA_NORMAL_FROM_IMAGE | DRAW_ALPHA_OPAQUE_WITHOUT_CHANNEL;

}  // namespace

void Load(RenderState& state, const BaseContainer& effect, BaseDocument* doc,
          const BaseContainer& renderSettings) {
  OverlayState& overlay = state.overlay;
  ReadSettings(overlay, state, effect);
  overlay.documentName = DocumentParameter(doc, DOCUMENT_NAME).GetFilename();
  overlay.fps = renderSettings.GetFloat(RDATA_FRAMERATE);
  overlay.documentFps = doc ? doc->GetFps() : 0;
  overlay.docMinTime = DocumentParameter(doc, DOCUMENT_MINTIME).GetTime();
  overlay.docMaxTime = DocumentParameter(doc, DOCUMENT_MAXTIME).GetTime();
  overlay.textCutReported = false;
  overlay.dateText = overlay_text::DateText(overlay_text::DateNow());

  EmptyBitmap(overlay.logoBitmap);
  EmptyBitmap(overlay.maskBitmap);
  if (!IsFisheye(state)) return;
  LoadLogo(overlay, effect);
  LoadMask(state, effect);
}

void Geometry(RenderState& state) {
  OverlayState& overlay = state.overlay;
  const orvex::RenderArea& area = state.currentArea;
  overlay.domeRadius = area.GetRadius();
  overlay.domeDiameter = area.GetMinSide();
  const Float r = overlay.domeRadius;
  const Float k = r - std::sin(orvex::kPi / 4.0) * r;
  overlay.cornerSize = k;
  const Vector s = area.GetStart();
  const Vector e = area.GetEnd();
  overlay.cornerTopLeft = orvex::RenderArea(s, s + Vector(k, k, 0.0));
  overlay.cornerTopRight = orvex::RenderArea(Vector(e.x - k, s.y, 0.0), Vector(e.x, s.y + k, 0.0));
  overlay.cornerBottomLeft = orvex::RenderArea(Vector(s.x, e.y - k, 0.0), Vector(s.x + k, e.y, 0.0));
  overlay.cornerBottomRight = orvex::RenderArea(e - Vector(k, k, 0.0), e);
}

void Draw(RenderState& state, BaseDraw* view, const BaseTime& time) {
  if (!state.enabled || !view || !IsFisheye(state) || state.editorRender) return;
  OverlayState& overlay = state.overlay;
  view->SetDepth(false);
  view->SetDrawParam(DRAW_PARAMETER_ALPHA_THRESHOLD, GeData(Int32(2)));
  view->SetMatrix_Screen();
  view->LineZOffset(-1);
  if (state.lens.maskMode == orvex::kMaskModeImage && overlay.maskBitmap && !overlay.maskBitmap->IsEmpty())
    DrawBitmapOver(*view, *overlay.maskBitmap, state.currentArea, kImageAlpha,
                   DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR);
  if (overlay.logoMode != kLogoNone && overlay.logoBitmap && !overlay.logoBitmap->IsEmpty())
    DrawBitmapOver(*view, *overlay.logoBitmap, LogoArea(state), kImageAlpha,
                   DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR_MIPMAP);
  if (HasTexts(overlay)) DrawTexts(state, *view, time);
}

}  // namespace overlays
