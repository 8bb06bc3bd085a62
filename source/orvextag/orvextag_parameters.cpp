#include "module_log.h"
#include "orvextag/orvextag.h"
#include "orvextag/tag_links.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <cmath>

namespace {

// Writes one value into the render settings the way the panel does: copy, change, merge back.
void WriteRenderSetting(RenderData& renderData, Int32 id, const GeData& value) {
  BaseContainer settings = renderData.GetData();
  settings.SetData(id, value);
  renderData.SetData(settings, true);
}

// Copies a length to the camera's own stereo parameter when it changes it.
void CopyToCamera(BaseObject* camera, Int32 cameraId, Float value) {
  if (!camera) return;
  BaseContainer& data = *camera->GetDataInstance();
  if (data.GetFloat(cameraId) != value) data.SetFloat(cameraId, value);
}

// Stores an effect option the tag shows; the effect's panel refreshes.
void WriteEffectOption(BaseVideoPost& effect, Int32 id, const GeData& value, DESCFLAGS_SET& flags) {
  effect.GetDataInstance()->SetData(id, value);
  effect.SetDirty(DIRTYFLAGS_DESCRIPTION);
  flags = flags | DESCFLAGS_SET_PARAM_SET;
}

}  // namespace

Bool OrvexTag::GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) {
  auto* tag = static_cast<BaseTag*>(node);
  const TagLinks links = TagLinks::Of(tag);
  switch (id[0]) {
    case ORVEXTAG_STEREO:
      if (!links.renderData) break;  // without render settings the tag's own value is all there is
      data = GeData(static_cast<Int32>(IsStereoRender(tag) ? 1 : 0));
      flags = flags | DESCFLAGS_GET_PARAM_GET;
      break;
    case ORVEXTAG_SEPARATION_MAP_PREVIEW:
      data = GeData(CUSTOMDATATYPE_BITMAPBUTTON, BitmapButtonStruct(tag, id, 0));
      flags = flags | DESCFLAGS_GET_PARAM_GET;
      break;
    case ORVEXTAG_VP_TOGGLE:
    case ORVEXTAG_VP_CHOICE:
      if (!links.effect) break;
      data = links.effect->GetDataInstance()->GetData(id[0] == ORVEXTAG_VP_TOGGLE ? ORVEXVP_TOGGLE
                                                                                  : ORVEXVP_CHOICE);
      flags = flags | DESCFLAGS_GET_PARAM_GET;
      break;
    default:
      break;
  }
  return TagData::GetDParameter(node, id, data, flags);
}

Bool OrvexTag::SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags) {
  const TagLinks links = TagLinks::Of(static_cast<BaseTag*>(node));
  switch (id[0]) {
    case ORVEXTAG_PROJECTION:
      if (links.effect) links.effect->SetDirty(DIRTYFLAGS_DESCRIPTION);
      break;
    case ORVEXTAG_STEREO:
      if (!links.renderData) {
        ModuleLog("STEREO not switched: the tag has no render settings");
        return false;
      }
      WriteRenderSetting(*links.renderData, RDATA_STEREO, GeData(data.GetBool()));
      if (links.effect) links.effect->SetDirty(DIRTYFLAGS_DESCRIPTION);
      flags = flags | DESCFLAGS_SET_PARAM_SET;
      break;
    case ORVEXTAG_EYE_SEPARATION:
      CopyToCamera(links.camera, CAMERAOBJECT_STEREO_EYESEPARATION, data.GetFloat());
      break;
    case ORVEXTAG_ZERO_PARALLAX:
      CopyToCamera(links.camera, CAMERAOBJECT_STEREO_ZERO_PARALLAX, data.GetFloat());
      break;
    case ORVEXTAG_ZERO_PARALLAX_MODE:
      if (links.camera)
        links.camera->GetDataInstance()->SetInt32(CAMERAOBJECT_STEREO_PLACEMENT,
                                                  data.GetInt32() != 0 ? 1 : 0);
      break;
    case ORVEXTAG_VP_TOGGLE:
      if (links.effect) WriteEffectOption(*links.effect, ORVEXVP_TOGGLE, GeData(data.GetBool()), flags);
      break;
    case ORVEXTAG_VP_CHOICE:
      if (links.effect) WriteEffectOption(*links.effect, ORVEXVP_CHOICE, GeData(data.GetInt32()), flags);
      break;
    default:
      break;
  }
  return TagData::SetDParameter(node, id, data, flags);
}
