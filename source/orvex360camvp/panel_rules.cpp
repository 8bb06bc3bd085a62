#include "orvex360camvp/panel_rules.h"

#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

namespace {
constexpr Int32 kSingleFaceLayout = 6;

Bool IsCrossLayout(Int32 layout) { return layout == 0 || layout == 1; }
Bool IsSlotLayout(Int32 layout) { return layout >= 2 && layout <= 5; }

// Only ever sets the hide property, so an element the file hides stays hidden.
void HideWhen(Description& description, Int32 id, Bool hidden) {
  BaseContainer* element = description.GetParameterI(DescID(id));
  if (element && hidden) element->SetBool(DESC_HIDE, true);
}

void OpenWhen(Description& description, Int32 id, Bool open) {
  if (BaseContainer* element = description.GetParameterI(DescID(id)))
    element->SetBool(DESC_DEFAULTOPEN, open);
}

Bool IsStereoElementEnabled(Int32 id, const BaseContainer& effectData) {
  const Int32 mode = effectData.GetInt32(ORVEXVP_STEREO_MODE);
  switch (id) {
    case ORVEXVP_SWAP_EYES:
      return mode != ORVEXVP_STEREO_MODE_SINGLE_EYE;
    case ORVEXVP_SINGLE_EYE:
      return mode == ORVEXVP_STEREO_MODE_SINGLE_EYE;
    case ORVEXVP_ANAGLYPH_COLORS:
      return mode == ORVEXVP_STEREO_MODE_ANAGLYPH;
    case ORVEXVP_ANAGLYPH_METHOD:
      return mode == ORVEXVP_STEREO_MODE_ANAGLYPH && effectData.GetInt32(ORVEXVP_ANAGLYPH_COLORS) == 0;
    case ORVEXVP_ANAGLYPH_GAMMA:
      return mode == ORVEXVP_STEREO_MODE_ANAGLYPH && effectData.GetInt32(ORVEXVP_ANAGLYPH_METHOD) == 3;
    case ORVEXVP_SIDE_LAYOUT:
      return mode == ORVEXVP_STEREO_MODE_SIDE_BY_SIDE || mode == ORVEXVP_STEREO_MODE_INTERLACED;
    case ORVEXVP_LEFT_FLIP_U:
    case ORVEXVP_LEFT_FLIP_V:
    case ORVEXVP_RIGHT_FLIP_U:
    case ORVEXVP_RIGHT_FLIP_V:
      return mode == ORVEXVP_STEREO_MODE_SIDE_BY_SIDE;
    case ORVEXVP_INTERLACE:
      return mode == ORVEXVP_STEREO_MODE_INTERLACED;
    default:
      return true;
  }
}

Bool IsCubeElementEnabled(Int32 id, const BaseContainer& effectData) {
  const Int32 layout = effectData.GetInt32(ORVEXVP_CUBE_LAYOUT);
  if (id == ORVEXVP_CUBE_FACE) return layout == kSingleFaceLayout;
  if (id == ORVEXVP_CUBE_CROSS_START) return IsCrossLayout(layout);
  if ((id >= ORVEXVP_CUBE_SLOT1 && id <= ORVEXVP_CUBE_SLOT6) || id == ORVEXVP_CUBE_VIDEO_FACES)
    return IsSlotLayout(layout);
  return true;
}

Bool IsOverlayElementEnabled(Int32 id, const BaseContainer& effectData) {
  const Bool overlay = effectData.GetBool(ORVEXVP_OVERLAY);
  switch (id) {
    case ORVEXVP_MASK_FILE:
      return effectData.GetInt32(ORVEXVP_MASK_MODE) == 1;
    case ORVEXVP_SHOW_INFO:
    case ORVEXVP_SHOW_TIME:
    case ORVEXVP_SHOW_FRAME:
    case ORVEXVP_SHOW_TEXT:
    case ORVEXVP_TEXT_SIZE:
    case ORVEXVP_LOGO_MODE:
      return overlay;
    case ORVEXVP_TEXT:
      return overlay && effectData.GetBool(ORVEXVP_SHOW_TEXT);
    case ORVEXVP_LOGO_FILE:
      return effectData.GetInt32(ORVEXVP_LOGO_MODE) == 1;
    default:
      return true;
  }
}
}  // namespace

void ApplyVisibilityRules(Description& description, const BaseContainer& effectData, Int32 gridRows) {
  const Int32 mode = effectData.GetInt32(ORVEXVP_STEREO_MODE);
  const Int32 layout = effectData.GetInt32(ORVEXVP_CUBE_LAYOUT);
  HideWhen(description, ORVEXVP_GROUP_SINGLE, mode != ORVEXVP_STEREO_MODE_SINGLE_EYE);
  HideWhen(description, ORVEXVP_GROUP_ANAGLYPH, mode != ORVEXVP_STEREO_MODE_ANAGLYPH);
  HideWhen(description, ORVEXVP_GROUP_SIDE, mode != ORVEXVP_STEREO_MODE_SIDE_BY_SIDE);
  HideWhen(description, ORVEXVP_GROUP_INTERLACE, mode != ORVEXVP_STEREO_MODE_INTERLACED);
  HideWhen(description, ORVEXVP_CUBE_FACE, layout != kSingleFaceLayout);
  HideWhen(description, ORVEXVP_CUBE_CROSS_START, !IsCrossLayout(layout));
  HideWhen(description, ORVEXVP_GROUP_CUBE_SLOTS, !IsSlotLayout(layout));
  HideWhen(description, ORVEXVP_CUBE_VIDEO_FACES, !IsSlotLayout(layout));
  for (Int32 id = ORVEXVP_CUBE_PREVIEW; id <= ORVEXVP_CUBE_PREVIEW_LAST; ++id)
    HideWhen(description, id, (id - ORVEXVP_CUBE_PREVIEW) / 6 >= gridRows);
  HideWhen(description, ORVEXVP_HIDDEN, true);
}

void ApplyFoldRules(Description& description, const BaseContainer& tagData, Bool stereoRender) {
  const Int32 projection = tagData.GetInt32(ORVEXTAG_PROJECTION);
  OpenWhen(description, ORVEXVP_GROUP_DOME, projection == ORVEXTAG_PROJECTION_FISHEYE);
  OpenWhen(description, ORVEXVP_GROUP_CUBE, projection == ORVEXTAG_PROJECTION_CUBEMAP);
  OpenWhen(description, ORVEXVP_GROUP_STEREO, stereoRender);
}

Bool IsEffectElementEnabled(Int32 id, const BaseContainer& effectData, const BaseContainer* tagData) {
  if (id == ORVEXVP_CHOICE) return effectData.GetBool(ORVEXVP_TOGGLE);
  if (id == ORVEXVP_EYE_SHIFT)
    return !tagData || tagData->GetInt32(ORVEXTAG_PROJECTION) != ORVEXTAG_PROJECTION_FISHEYE;
  return IsOverlayElementEnabled(id, effectData) && IsStereoElementEnabled(id, effectData) &&
         IsCubeElementEnabled(id, effectData);
}
