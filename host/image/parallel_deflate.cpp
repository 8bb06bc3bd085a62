#include "parallel_deflate.h"

#include "base/parallel_for.h"

#include <zlib.h>

#include <memory>

namespace parallel_deflate {
namespace {

struct Band {
  std::vector<unsigned char> compressed;
  uLong adler = 1;
  z_off_t rawSize = 0;
  bool ok = false;
};

// A thread's deflate stream and buffers, kept from band to band and image to image: a fresh stream
// and fresh band buffers each time would map and clear new pages from the system for every band.
class Scratch {
 public:
  Scratch() = default;
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    if (ready_) deflateEnd(&stream_);
  }

  std::vector<unsigned char> raw;

  // Deflates `raw` into `band`: a raw stream without its own header and checksum (negative window
  // bits), ended by a sync flush, or by the final block when `last`.
  bool Deflate(bool last, int level, Band& band) {
    if (!Ready(level)) return false;
    const size_t bound = deflateBound(&stream_, static_cast<uLong>(raw.size())) + 16;
    if (output_.size() < bound) output_.resize(bound);
    stream_.next_in = raw.data();
    stream_.avail_in = static_cast<uInt>(raw.size());
    stream_.next_out = output_.data();
    stream_.avail_out = static_cast<uInt>(output_.size());
    const int result = deflate(&stream_, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream_.avail_in == 0;
    band.compressed.assign(output_.data(), output_.data() + stream_.total_out);
    return done;
  }

 private:
  // A stream of the wanted level, reset to its start.
  bool Ready(int level) {
    if (ready_ && level_ == level) return deflateReset(&stream_) == Z_OK;
    if (ready_) deflateEnd(&stream_);
    stream_ = z_stream{};
    ready_ = deflateInit2(&stream_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    level_ = level;
    return ready_;
  }

  z_stream stream_{};
  bool ready_ = false;
  int level_ = 0;
  std::vector<unsigned char> output_;
};

void CompressBand(size_t index, size_t bands, const BandSource& source, int level, Scratch& scratch,
                  Band& band) {
  source(index, scratch.raw);
  band.adler = adler32(1, scratch.raw.data(), static_cast<uInt>(scratch.raw.size()));
  band.rawSize = static_cast<z_off_t>(scratch.raw.size());
  band.ok = scratch.Deflate(index + 1 == bands, level, band);
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
    // A source that waits on parallel work may let this thread take another band meanwhile: that band
    // must not use the scratch in use.
    thread_local Scratch kept;
    thread_local bool keptInUse = false;
    std::unique_ptr<Scratch> own;
    Scratch& scratch = keptInUse ? *(own = std::make_unique<Scratch>()) : kept;
    const bool usesKept = &scratch == &kept;
    keptInUse = true;
    for (size_t b = range.begin(); b != range.end(); ++b)
      CompressBand(b, bands, source, level, scratch, compressed[b]);
    if (usesKept) keptInUse = false;
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
