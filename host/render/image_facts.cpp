#include "image_facts.h"

#include "runtime/image_limits.h"
#include "runtime/xmp_embed.h"
#include "xmp_packet.h"

#include <OpenImageIO/imageio.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr size_t kMaxMetadataFileBytes = size_t{1} << 30;

std::string OpenError(const std::string& path) {
  const std::string reason = OIIO::geterror();
  return "cannot read \"" + path + "\" as an image" + (reason.empty() ? "" : ": " + reason);
}

// The EXR header's attributes that belong to the known vocabularies.
void ReadHeaderAttributes(const OIIO::ImageSpec& spec, ImageMetadata& metadata) {
  for (const OIIO::ParamValue& attribute : spec.extra_attribs) {
    const std::string name = attribute.name().string();
    const size_t colon = name.find(':');
    if (colon == std::string::npos) continue;
    for (const MetadataVocabulary& vocabulary : MetadataVocabularies())
      if (name.compare(0, colon, vocabulary.prefix) == 0 && colon == std::string(vocabulary.prefix).size())
        metadata.SetText(vocabulary.prefix, name.substr(colon + 1), attribute.get_string());
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
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> bytes;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size <= 0 || static_cast<size_t>(size) > kMaxMetadataFileBytes) return {};
  file.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
  return xmp_embed::Find(bytes);
}

}  // namespace

bool ReadImageFacts(const std::string& path, ImageFacts& facts, std::string& error) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    error = OpenError(path);
    return false;
  }
  const OIIO::ImageSpec& spec = input->spec();
  facts.format = input->format_name();
  facts.width = spec.width;
  facts.height = spec.height;
  facts.channels = spec.nchannels;
  facts.date = spec.get_string_attribute("DateTime");
  if (facts.format == "openexr") {
    ReadHeaderAttributes(spec, facts.metadata);
  } else {
    facts.xmpPacket = ReadXmp(path);
    facts.metadata = ReadXmpPacket(facts.xmpPacket);
  }
  return true;
}

bool VerifyImageComplete(const std::string& path, std::string& error) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    error = OpenError(path);
    return false;
  }
  const OIIO::ImageSpec& spec = input->spec();
  if (!image_limits::CheckBeforeDecode(path, spec, error)) return false;
  std::vector<float> pixels(static_cast<size_t>(spec.width) * spec.height * spec.nchannels);
  // Some readers report a short strip as an error message but still answer success.
  const bool read = input->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::FLOAT, pixels.data());
  const std::string reason = input->geterror();
  if (!read || !reason.empty()) {
    error = "\"" + path + "\" is incomplete or damaged" + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  if (!EndsComplete(path, input->format_name())) {
    error = "\"" + path + "\" is incomplete: it ends before its end marker";
    return false;
  }
  return true;
}
