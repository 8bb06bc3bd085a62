#include "module_log.h"
#include "orvextag/aspect_update.h"
#include "orvextag/orvextag.h"
#include "orvextag/tag_links.h"
#include "orvextag/tag_panel_rules.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

namespace {
constexpr Int32 kHideable[] = {ORVEXTAG_VP_DISABLED_INFO,     ORVEXTAG_GROUP_FISHEYE, ORVEXTAG_GROUP_EQUIRECT,
                               ORVEXTAG_GROUP_CYLINDRICAL,    ORVEXTAG_GROUP_CUBEMAP, ORVEXTAG_FISHEYE_TYPE,
                               ORVEXTAG_STEREO_DIRECTION_PAD, ORVEXTAG_HIDDEN};

TagPanelFacts GatherFacts(const TagLinks& links) {
  const BaseContainer& tag = links.TagData();
  TagPanelFacts facts;
  facts.projection = tag.GetInt32(ORVEXTAG_PROJECTION);
  facts.effectExists = links.effect != nullptr;
  facts.effectSwitchedOff = links.effect && links.effect->GetBit(BIT_VPDISABLED);
  facts.enabled = tag.GetBool(ORVEXTAG_ENABLE);
  facts.stereo = IsStereoRender(links.tag);
  facts.customSpan = tag.GetBool(ORVEXTAG_EQUIRECT_CUSTOM);
  facts.zeroParallaxMode = tag.GetInt32(ORVEXTAG_ZERO_PARALLAX_MODE);
  facts.preferredDirection = tag.GetBool(ORVEXTAG_STEREO_DIRECTION);
  facts.separationMap = tag.GetBool(ORVEXTAG_SEPARATION_MAP);
  facts.aspect = tag.GetFloat(ORVEXTAG_ASPECT);
  facts.stereoAspect = tag.GetFloat(ORVEXTAG_ASPECT_STEREO);
  facts.linkedToggle = links.effect ? links.effect->GetDataInstance()->GetBool(ORVEXVP_TOGGLE)
                                    : tag.GetBool(ORVEXTAG_VP_TOGGLE);
  return facts;
}

void SetShortName(Description& description, Int32 id, const String& text) {
  if (BaseContainer* element = description.GetParameterI(DescID(id)))
    element->SetString(DESC_SHORT_NAME, text);
}
}  // namespace

Bool OrvexTag::GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) {
  if (!node || !description || !description->LoadDescription(ID_ORVEXTAG)) return false;
  auto* tag = static_cast<BaseTag*>(node);
  const TagPanelFacts facts = GatherFacts(TagLinks::Of(tag));
  for (const Int32 id : kHideable)
    if (BaseContainer* element = description->GetParameterI(DescID(id)))
      element->SetBool(DESC_HIDE, IsTagElementHidden(id, facts));
  UpdateAspect(tag);
  const BaseContainer& data = *tag->GetDataInstance();
  SetShortName(*description, ORVEXTAG_ASPECT_LABEL, data.GetString(ORVEXTAG_ASPECT_TEXT));
  SetShortName(*description, ORVEXTAG_ASPECT_STEREO_LABEL, data.GetString(ORVEXTAG_ASPECT_STEREO_TEXT));
  flags = flags | DESCFLAGS_DESC_LOADED;
  return TagData::GetDDescription(node, description, flags);
}

Bool OrvexTag::GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                            const BaseContainer* itemDescription) {
  if (node && !IsTagElementEnabled(id[0], GatherFacts(TagLinks::Of(static_cast<BaseTag*>(node)))))
    return false;
  return TagData::GetDEnabling(node, id, data, flags, itemDescription);
}
