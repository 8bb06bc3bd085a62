#pragma once

#include "c4d.h"

#include <string>

// The stand-in host's attribute manager: builds a node's panel from its description and edits
// parameters the way a user's click does (SetParameter with the user-interaction flag, then the
// post-set message).
namespace attribute_manager {

// Edits one parameter from "NAME=VALUE" text: NAME as the description names it, with or without its
// prefix (ORVEXTAG_, ORVEXVP_); angles in degrees with a "deg" suffix, else radians. False with a
// clear `error` (listing the nearest names) when the name or value does not fit.
bool SetByName(BaseList2D* node, const std::string& assignment, std::string& error);

}  // namespace attribute_manager
