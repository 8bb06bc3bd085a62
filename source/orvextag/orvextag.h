#pragma once

#include "c4d.h"
#include "geometry/guide_geometry.h"
#include "settings/plugin_ids.h"

#include <array>

// The camera tag that holds every projection setting of a camera, keeps the settings that live
// elsewhere (render settings, effect, camera) in step, and derives the output aspect.
class OrvexTag : public TagData {
 public:
  static constexpr const char* kLogName = "OrvexTag";
  // The host's factory: a guarded tag (guarded_entries.h).
  static NodeData* Alloc();
  ~OrvexTag() override;

  Bool Init(GeListNode* node) override;
  Bool Message(GeListNode* node, Int32 type, void* data) override;
  Bool GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) override;
  Bool GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) override;
  Bool SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags) override;
  Bool GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                    const BaseContainer* itemDescription) override;
  EXECUTIONRESULT Execute(BaseTag* tag, BaseDocument* doc, BaseObject* object, BaseThread* thread,
                          Int32 priority, EXECUTIONFLAGS flags) override;
  // The projection guide around the camera and, with stereo, the eye diagram (orvextag_draw.cpp).
  Bool Draw(BaseTag* tag, BaseObject* object, BaseDraw* view, BaseDrawHelp* help) override;

  // The state icon: the on icon, or the off icon while the tag is switched off; null when its file
  // did not load.
  BaseBitmap* StateIcon(Bool on) const { return icons_[on ? 1 : 0]; }

 private:
  void LoadIcons();
  void AfterParameterSet(BaseTag* tag, Int32 id);
  Bool PressButton(BaseTag* tag, Int32 id);
  void FillCustomIcon(BaseTag* tag, GetCustomIconData& request) const;

  // Builds the guide of projection `projection` into the cache; false when it has none of its own.
  [[nodiscard]] Bool BuildGuide(const BaseContainer& data, Int32 projection);

  std::array<BaseBitmap*, 2> icons_{};  // owned: off (0) and on (1)
  orvex::GuideCache guide_;             // the last guide built, kept while its inputs stay the same
};

// The video-post effect in the active render settings of `doc` (else the tag's document, else the
// active document); with `create`, a new one is inserted when there is none. Null when there is
// no document or render settings, or the effect cannot be made.
BaseVideoPost* FindVideoPost(BaseTag* tag, BaseDocument* doc, Bool create);

[[nodiscard]] Bool RegisterOrvexTag();
