#pragma once

#include "c4d.h"

#include <array>

constexpr Int32 ID_ORVEXTAG = 1035138;

// The camera tag that holds every projection setting of a camera.
class OrvexTag : public TagData {
 public:
  static NodeData* Alloc();
  ~OrvexTag() override;

  Bool Init(GeListNode* node) override;

  // The state icon: the on icon, or the off icon while the tag is switched off; null when its file
  // did not load.
  BaseBitmap* StateIcon(Bool on) const { return icons_[on ? 1 : 0]; }

 private:
  void LoadIcons();

  std::array<BaseBitmap*, 2> icons_{};  // owned: off (0) and on (1)
};

// The video-post effect in the active render settings of `doc` (else the tag's document, else the
// active document); with `create`, a new one is inserted when there is none. Null when there is
// no document or render settings, or the effect cannot be made.
BaseVideoPost* FindVideoPost(BaseTag* tag, BaseDocument* doc, Bool create);

Bool RegisterOrvexTag();
