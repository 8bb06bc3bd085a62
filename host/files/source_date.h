#pragma once

#include <ctime>
#include <string>

// The date written into files: now, or the moment SOURCE_DATE_EPOCH names (seconds since 1970) when
// it is set, so that reproducible builds and renders write the same bytes.

// The last second every date field can hold: 9999-12-31T23:59:59Z.
inline constexpr long long kLastSourceDate = 253402300799LL;

// Whether SOURCE_DATE_EPOCH is unset, empty, or whole seconds from 0 to kLastSourceDate (digits
// only). False with `error` saying what it holds and what it takes: commands that write dates
// refuse to start, rather than write another date than the one asked for.
bool CheckSourceDateEpoch(std::string& error);

// The moment SOURCE_DATE_EPOCH names when CheckSourceDateEpoch accepts it and it is set, else now.
std::time_t SourceDate();

// The date in UTC as XMP writes it: "2023-11-14T22:13:20Z".
std::string IsoDateUtc(std::time_t when);

// The date in UTC as TIFF, EXIF and EXR headers write it: "2023:11:14 22:13:20".
std::string ExifDateUtc(std::time_t when);
