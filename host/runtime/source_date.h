#pragma once

#include <ctime>
#include <string>

// The date written into files: now, or the moment SOURCE_DATE_EPOCH names (seconds since 1970) when
// it is set to a whole number, so that reproducible builds and renders write the same bytes.
std::time_t SourceDate();

// The date in UTC as XMP writes it: "2023-11-14T22:13:20Z".
std::string IsoDateUtc(std::time_t when);

// The date in UTC as TIFF, EXIF and EXR headers write it: "2023:11:14 22:13:20".
std::string ExifDateUtc(std::time_t when);
