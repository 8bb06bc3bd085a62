#pragma once

#include "description_record.h"

#include <string>
#include <string_view>

// Description files: JSON, one per description resource, in <res>/description/<name>.json. The
// format is documented in res/description/README.md.

// Parses the text of a description file into `record` (replacing its elements). False with an
// `error` that names `fileName`, and for syntax errors the line, when the text does not fit.
bool ParseDescriptionText(std::string_view text, const std::string& fileName, DescriptionRecord& record,
                          std::string& error);

// Reads and parses a description file; false with `error` when it is missing or does not parse.
bool ReadDescriptionFile(const std::string& path, DescriptionRecord& record, std::string& error);

// The line (1-based) of a byte offset into `text`, as a parse error reports it.
Int32 LineOfOffset(std::string_view text, size_t offset);
