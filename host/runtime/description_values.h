#pragma once

#include "description_record.h"

#include <string>
#include <string_view>

// Text for and from element values, as the panel shows them and as the command line takes them.

// The value as the panel shows it: "on"/"off", a cycle's label with its number, angles in degrees
// ("180 deg"), lengths with "cm", vectors as "(x, y, z)", texts quoted with \n for line breaks.
std::string FormatValue(const DescriptionElement& element, const GeData& value);

// Reads `text` as a value of the element: on/off, true/false, yes/no or 1/0 for checkboxes; a
// number or a choice's label for cycles; angles in degrees with a "deg" suffix, else radians;
// "x,y,z" for vectors; texts with \n for line breaks. False with an `error` saying what the
// element takes when the text does not fit or lies outside the element's limits.
bool ParseValue(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error);

// Whether a number or choice already held as `value` fits the element: inside its limits, one of a
// choice's entries. False with an `error` naming the element and what it takes otherwise.
bool CheckLimits(const DescriptionElement& element, const GeData& value, std::string& error);

// `value` in the fewest digits that read back as exactly it (64.00000000000001, not 64).
std::string ExactNumber(Float value);
