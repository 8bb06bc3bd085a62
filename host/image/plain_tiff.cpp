#include "plain_tiff.h"

#include "files/regular_file.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

namespace plain_tiff {
namespace {

constexpr size_t kMaxFileBytes = size_t{64} << 20;  // icons and small resource images only

enum Tag : std::uint16_t {
  kWidth = 256,
  kHeight = 257,
  kBitsPerSample = 258,
  kCompression = 259,
  kPhotometric = 262,
  kStripOffsets = 273,
  kSamplesPerPixel = 277,
  kRowsPerStrip = 278,
  kStripByteCounts = 279,
  kPlanarConfiguration = 284,
  kExtraSamples = 338,
  kSampleFormat = 339,
};

// "II" or "MM": the byte order a TIFF file starts with.
bool StartsLikeTiff(const unsigned char* bytes, size_t size) {
  return size >= 2 && bytes[0] == bytes[1] && (bytes[0] == 'I' || bytes[0] == 'M');
}

struct Bytes {
  const std::vector<unsigned char>& data;
  bool little = true;

  bool Has(size_t offset, size_t size) const { return offset <= data.size() && size <= data.size() - offset; }
  std::uint32_t Read(size_t offset, int size) const {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const std::uint32_t byte = data[offset + (little ? i : size - 1 - i)];
      value |= byte << (8 * i);
    }
    return value;
  }
};

// One directory entry's values (SHORT or LONG), inline or at their offset.
struct Field {
  std::vector<std::uint32_t> values;
};

bool ReadField(const Bytes& file, size_t entry, Field& field) {
  const std::uint32_t type = file.Read(entry + 2, 2);
  const std::uint32_t count = file.Read(entry + 4, 4);
  const int size = type == 3 ? 2 : type == 4 ? 4 : 0;
  if (size == 0 || count == 0 || count > (1u << 20)) return false;
  const size_t bytes = static_cast<size_t>(count) * size;
  const size_t at = bytes <= 4 ? entry + 8 : file.Read(entry + 8, 4);
  if (!file.Has(at, bytes)) return false;
  for (std::uint32_t i = 0; i < count; ++i) field.values.push_back(file.Read(at + i * size, size));
  return true;
}

// The first directory's SHORT and LONG fields by tag; false for anything that is not a TIFF.
bool ReadDirectory(const Bytes& file, std::map<std::uint16_t, Field>& fields) {
  if (!file.Has(0, 8) || file.Read(2, 2) != 42) return false;
  const size_t directory = file.Read(4, 4);
  if (!file.Has(directory, 2)) return false;
  const std::uint32_t count = file.Read(directory, 2);
  if (!file.Has(directory + 2, static_cast<size_t>(count) * 12)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const size_t entry = directory + 2 + static_cast<size_t>(i) * 12;
    Field field;
    if (ReadField(file, entry, field)) fields[static_cast<std::uint16_t>(file.Read(entry, 2))] = field;
  }
  return true;
}

std::uint32_t One(const std::map<std::uint16_t, Field>& fields, Tag tag, std::uint32_t absent) {
  const auto found = fields.find(tag);
  return found == fields.end() ? absent : found->second.values[0];
}

bool AllEqual(const std::map<std::uint16_t, Field>& fields, Tag tag, std::uint32_t value) {
  const auto found = fields.find(tag);
  if (found == fields.end()) return false;
  for (std::uint32_t v : found->second.values)
    if (v != value) return false;
  return true;
}

// Uncompressed, chunky, unsigned 8-bit RGB or RGBA (alpha declared associated or unassociated).
bool IsPlain(const std::map<std::uint16_t, Field>& fields, int& channels, bool& unassociated) {
  channels = static_cast<int>(One(fields, kSamplesPerPixel, 1));
  const std::uint32_t extra = One(fields, kExtraSamples, 0);
  unassociated = channels == 4 && extra == 2;  // a fourth sample to multiply by, never a third
  return One(fields, kCompression, 1) == 1 && One(fields, kPhotometric, 0) == 2 &&
         One(fields, kPlanarConfiguration, 1) == 1 && One(fields, kSampleFormat, 1) == 1 &&
         AllEqual(fields, kBitsPerSample, 8) &&
         (channels == 3 || (channels == 4 && (extra == 1 || extra == 2))) && fields.count(kWidth) &&
         fields.count(kHeight) && fields.count(kStripOffsets) && fields.count(kStripByteCounts) &&
         fields.at(kStripOffsets).values.size() == fields.at(kStripByteCounts).values.size();
}

// The image's bytes, strip after strip; false when a strip lies outside the file or falls short.
bool GatherStrips(const Bytes& file, const std::map<std::uint16_t, Field>& fields, size_t size,
                  std::vector<unsigned char>& samples) {
  const std::vector<std::uint32_t>& offsets = fields.at(kStripOffsets).values;
  const std::vector<std::uint32_t>& counts = fields.at(kStripByteCounts).values;
  for (size_t i = 0; i < offsets.size() && samples.size() < size; ++i) {
    if (!file.Has(offsets[i], counts[i])) return false;
    const size_t take = std::min<size_t>(counts[i], size - samples.size());
    samples.insert(samples.end(), file.data.begin() + offsets[i], file.data.begin() + offsets[i] + take);
  }
  return samples.size() == size;
}

}  // namespace

PlainRead Read(const std::string& path, image_codec::Header& header, std::vector<float>& pixels,
               std::string& error) {
  std::ifstream stream(path, std::ios::binary);
  unsigned char order[2] = {};
  if (!stream.read(reinterpret_cast<char*>(order), 2) || !StartsLikeTiff(order, 2))
    return PlainRead::NotPlain;
  std::vector<unsigned char> bytes;
  if (std::string ignored; !regular_file::ReadWhole(path, kMaxFileBytes, bytes, ignored))
    return PlainRead::NotPlain;
  return Decode(bytes, path, header, pixels, error);
}

PlainRead Decode(const std::vector<unsigned char>& bytes, const std::string& name,
                 image_codec::Header& header, std::vector<float>& pixels, std::string& error) {
  if (!StartsLikeTiff(bytes.data(), bytes.size())) return PlainRead::NotPlain;
  const Bytes file{bytes, bytes[0] == 'I'};
  std::map<std::uint16_t, Field> fields;
  int channels = 0;
  bool unassociated = false;
  if (!ReadDirectory(file, fields) || !IsPlain(fields, channels, unassociated)) return PlainRead::NotPlain;
  const std::uint32_t width = One(fields, kWidth, 0);
  const std::uint32_t height = One(fields, kHeight, 0);
  if (width == 0 || height == 0 || width > 65535 || height > 65535) return PlainRead::NotPlain;
  const size_t count = static_cast<size_t>(width) * height;
  std::vector<unsigned char> samples;
  if (count * channels > file.data.size() || !GatherStrips(file, fields, count * channels, samples)) {
    error = "the TIFF image \"" + name + "\" is damaged: its pixels lie beyond the end of the file";
    return PlainRead::Damaged;
  }
  header = image_codec::Header{};
  header.width = static_cast<int>(width);
  header.height = static_cast<int>(height);
  header.channels = channels;
  header.sample = image_codec::SampleType::UInt8;
  header.format = "tiff";
  pixels.resize(samples.size());
  // As the image library converts: a byte times 1/255, colour times alpha when unassociated.
  constexpr float kScale = 1.0f / 255.0f;
  for (size_t i = 0; i < samples.size(); ++i) pixels[i] = samples[i] * kScale;
  if (unassociated)
    for (size_t p = 0; p < count; ++p)
      for (int c = 0; c < 3; ++c) pixels[p * 4 + c] = samples[p * 4 + c] * kScale * pixels[p * 4 + 3];
  return PlainRead::Read;
}

}  // namespace plain_tiff
