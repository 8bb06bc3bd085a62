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
