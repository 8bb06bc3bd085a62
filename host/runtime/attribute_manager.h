#pragma once

#include "bitmap_io.h"
#include "c4d.h"
#include "description_record.h"

#include <memory>
#include <string>
#include <vector>

// The stand-in host's attribute manager: builds a node's panel from its description and edits
// parameters the way a user's click does (SetParameter with the user-interaction flag, then the
// post-set message).
namespace attribute_manager {

// One visible element of a panel as the user sees it right now.
struct PanelItem {
  const DescriptionElement* element = nullptr;  // owned by the panel's description
  Int32 depth = 0;                              // groups around it
  Bool enabled = true;
  GeData value;  // value elements, shader links and bitmap buttons; nil otherwise
};

// A node's panel: its description after the node's own rules, and the visible elements in order.
struct Panel {
  Bool loaded = false;  // false: the node has no panel (its description did not load)
  std::unique_ptr<Description> description;
  std::vector<PanelItem> items;

  const DescriptionRecord& Record() const { return description->GetRecord(); }
};

// Asks the node for its description (GetDDescription; the host loads it itself when the node does
// not), then every visible element for its enabling and value.
Panel BuildPanel(BaseList2D* node);

// Sets a value the way a click in the panel does: one undo step, SetParameter with the
// user-interaction flag (which sends the post-set message), then a refresh.
bool Edit(BaseList2D* node, Int32 id, const GeData& value);

// Presses a button (the button-press message) or clicks a bitmap button (a user SetParameter).
bool Press(BaseList2D* node, Int32 id);

// The bitmap a bitmap button shows, asked for with the description-bitmap message; the host owns
// it. Null when the node hands none back.
BitmapPtr RequestBitmap(BaseList2D* node, Int32 id);

// The icon the node asks to be shown with (the custom-icon message); it stays the node's. Null when
// the node hands none over and the registered icon applies.
const BaseBitmap* RequestCustomIcon(BaseList2D* node);

// Whether the node's description names a parameter `name` (with or without its prefix).
bool HasParameter(BaseList2D* node, const std::string& name);

// Edits one parameter from "NAME=VALUE" text: NAME as the description names it, with or without its
// prefix (the part up to the first `_`); angles in degrees with a "deg" suffix, else radians. False with a
// clear `error` (listing the nearest names) when the name or value does not fit.
bool SetByName(BaseList2D* node, const std::string& assignment, std::string& error);

// Presses the button or bitmap button `name`; false with a clear `error` when there is none.
bool PressByName(BaseList2D* node, const std::string& name, std::string& error);

// Whether a click reaches the element `name` now: false with `error` naming it when the node
// disables it (the panel shows it greyed out). A name the node does not know passes, so that the
// edit itself says so.
bool IsClickable(BaseList2D* node, const std::string& name, std::string& error);

}  // namespace attribute_manager
