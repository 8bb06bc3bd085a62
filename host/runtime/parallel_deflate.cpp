#include "parallel_deflate.h"

#include "parallel_for.h"

#include <zlib.h>

namespace parallel_deflate {
namespace {

struct Band {
  std::vector<unsigned char> compressed;
  uLong adler = 1;
  z_off_t rawSize = 0;
  bool ok = false;
};

bool Deflate(std::vector<unsigned char>& raw, bool last, int level, Band& band) {
  z_stream stream{};
  // Negative window bits: a raw stream without its own header and checksum.
  if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  band.compressed.resize(deflateBound(&stream, static_cast<uLong>(raw.size())) + 16);
  stream.next_in = raw.data();
  stream.avail_in = static_cast<uInt>(raw.size());
  stream.next_out = band.compressed.data();
  stream.avail_out = static_cast<uInt>(band.compressed.size());
  const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
  const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
  band.compressed.resize(stream.total_out);
  deflateEnd(&stream);
  return done;
}

void CompressBand(size_t index, size_t bands, const BandSource& source, int level, Band& band) {
  std::vector<unsigned char> raw;
  source(index, raw);
  band.adler = adler32(1, raw.data(), static_cast<uInt>(raw.size()));
  band.rawSize = static_cast<z_off_t>(raw.size());
  band.ok = Deflate(raw, index + 1 == bands, level, band);
}

void AppendBig32(std::vector<unsigned char>& out, uLong value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(value >> shift & 0xFF));
}

}  // namespace

bool Compress(size_t bands, const BandSource& source, int level, std::vector<unsigned char>& out) {
  if (bands == 0) return false;
  std::vector<Band> compressed(bands);
  parallel::For(size_t{0}, bands, [&](const tbb::blocked_range<size_t>& range) {
    for (size_t b = range.begin(); b != range.end(); ++b)
      CompressBand(b, bands, source, level, compressed[b]);
  });
  // zlib header: deflate with a 32K window; the check bits make the 16-bit value a multiple of 31.
  const unsigned header = 0x78 << 8 | (level <= 1 ? 0 : level <= 5 ? 1 : 2) << 6;
  out.push_back(0x78);
  out.push_back(static_cast<unsigned char>((header + (31 - header % 31) % 31) & 0xFF));
  uLong adler = 1;
  for (const Band& band : compressed) {
    if (!band.ok) return false;
    out.insert(out.end(), band.compressed.begin(), band.compressed.end());
    adler = adler32_combine(adler, band.adler, band.rawSize);
  }
  AppendBig32(out, adler);
  return true;
}

}  // namespace parallel_deflate
