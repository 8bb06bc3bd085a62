#pragma once

#include <CLI/CLI.hpp>

#include <string>

// Refuses an empty value, which would otherwise read as "not given" and be silently ignored.
inline CLI::Validator NotEmpty() {
  return CLI::Validator(
      [](const std::string& value) {
        return value.empty() ? std::string("an empty value is not allowed") : "";
      },
      "NOT EMPTY", "NotEmpty");
}

// An opening angle in degrees: a number above 0 and up to 360 (not a number, 0 or less are refused).
inline CLI::Validator OpeningDegrees() {
  return CLI::Validator(
      [](const std::string& value) {
        double degrees = 0.0;
        const bool number = CLI::detail::lexical_cast(value, degrees);
        return number && degrees > 0.0 && degrees <= 360.0
                   ? std::string()
                   : "takes an angle of more than 0 and up to 360 degrees, not \"" + value + "\"";
      },
      "DEGREES in (0, 360]", "OpeningDegrees");
}
