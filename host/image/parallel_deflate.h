#pragma once

#include <cstddef>
#include <functional>
#include <vector>

// One zlib stream compressed in parallel bands: each band is an independent raw deflate stream
// ended by a sync flush (the last one by the final block), the bands are concatenated behind one
// zlib header, and the checksum of the whole is combined from the bands' checksums. Any inflater
// reads the result as a single stream.
namespace parallel_deflate {

// Sizes `raw` and fills every byte of it with the uncompressed bytes of band `band` (it may hold an
// earlier band's bytes on entry); called concurrently for different bands.
using BandSource = std::function<void(size_t band, std::vector<unsigned char>& raw)>;

// Appends the zlib stream of `bands` bands to `out`; false when zlib fails (out of memory).
bool Compress(size_t bands, const BandSource& source, int level, std::vector<unsigned char>& out);

}  // namespace parallel_deflate
