#include "image_facts.h"

#include "files/regular_file.h"
#include "image_codec.h"
#include "image_limits.h"
#include "xmp_embed.h"
#include "xmp_packet.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr std::uintmax_t kMaxMetadataFileBytes = std::uintmax_t{1} << 30;

std::string OpenError(const std::string& path, const std::string& reason) {
  return "cannot read \"" + path + "\" as an image" + (reason.empty() ? "" : ": " + reason);
}

// The EXR header's attributes that belong to the known vocabularies.
void ReadHeaderAttributes(const image_codec::Header& header, ImageMetadata& metadata) {
  for (const auto& [name, value] : header.attributes) {
    const size_t colon = name.find(':');
    if (colon == std::string::npos) continue;
    for (const MetadataVocabulary& vocabulary : MetadataVocabularies())
      if (name.compare(0, colon, vocabulary.prefix) == 0 && colon == std::string(vocabulary.prefix).size())
        metadata.SetText(vocabulary.prefix, name.substr(colon + 1), value);
  }
}

// JPEG and PNG decoders fill a truncated file's missing rows with grey and call it a warning, so
// those files must also end with their end marker.
bool EndsComplete(const std::string& path, const std::string& format) {
  static const std::vector<unsigned char> kJpegEnd = {0xFF, 0xD9};
  static const std::vector<unsigned char> kPngEnd = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  const std::vector<unsigned char>* end = format == "jpeg" ? &kJpegEnd : format == "png" ? &kPngEnd : nullptr;
  if (!end) return true;
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> tail(end->size());
  file.seekg(-static_cast<std::streamoff>(tail.size()), std::ios::end);
  return file.read(reinterpret_cast<char*>(tail.data()), static_cast<std::streamsize>(tail.size())) &&
         tail == *end;
}

std::string ReadXmp(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (std::string ignored; !regular_file::ReadWhole(path, kMaxMetadataFileBytes, bytes, ignored)) return {};
  return xmp_embed::Find(bytes);
}

}  // namespace

bool ReadImageFacts(const std::string& path, ImageFacts& facts, std::string& error) {
  image_codec::Reader reader;
  if (std::string reason; !reader.Open(path, reason)) {
    error = OpenError(path, reason);
    return false;
  }
  const image_codec::Header& header = reader.header();
  facts.format = header.format;
  facts.width = header.width;
  facts.height = header.height;
  facts.channels = header.channels;
  facts.date = header.date;
  if (facts.format == "openexr") {
    ReadHeaderAttributes(header, facts.metadata);
  } else {
    facts.xmpPacket = ReadXmp(path);
    facts.metadata = ReadXmpPacket(facts.xmpPacket);
  }
  return true;
}

bool VerifyImageComplete(const std::string& path, std::string& error) {
  image_codec::Reader reader;
  if (std::string reason; !reader.Open(path, reason)) {
    error = OpenError(path, reason);
    return false;
  }
  const image_codec::Header& header = reader.header();
  if (!image_limits::CheckBeforeDecode(path, header, error)) return false;
  std::vector<float> pixels(static_cast<size_t>(header.width) * header.height * header.channels);
  // Some readers report a short strip as an error message but still answer success.
  std::string reason;
  const bool read = reader.ReadFloats(pixels.data(), reason);
  if (!read || !reason.empty()) {
    error = "\"" + path + "\" is incomplete or damaged" + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  if (!EndsComplete(path, header.format)) {
    error = "\"" + path + "\" is incomplete: it ends before its end marker";
    return false;
  }
  return true;
}
