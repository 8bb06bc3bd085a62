// liborvex360_imageio.so: the host's image seam (image/image_codec.h) answered by OpenImageIO.
// The only code of the host that includes or links the image library.
#include "image/image_codec.h"

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <memory>

namespace image_codec {

struct Decoder {
  std::unique_ptr<OIIO::Filesystem::IOMemReader> memory;  // outlives the input reading from it
  std::unique_ptr<OIIO::ImageInput> input;
};

namespace {

SampleType SampleOf(const OIIO::TypeDesc& type) {
  if (type.basetype == OIIO::TypeDesc::UINT8) return SampleType::UInt8;
  if (type.basetype == OIIO::TypeDesc::UINT16) return SampleType::UInt16;
  if (type.is_floating_point()) return SampleType::Float;
  return SampleType::Other;
}

Header HeaderOf(const OIIO::ImageInput& input) {
  const OIIO::ImageSpec& spec = input.spec();
  Header header;
  header.width = spec.width;
  header.height = spec.height;
  header.channels = spec.nchannels;
  header.sample = SampleOf(spec.format);
  header.format = input.format_name();
  header.colourSpace = spec.get_string_attribute("oiio:ColorSpace");
  header.date = spec.get_string_attribute("DateTime");
  for (const OIIO::ParamValue& attribute : spec.extra_attribs)
    header.attributes.emplace_back(attribute.name().string(), attribute.get_string());
  return header;
}

Decoder* Opened(std::unique_ptr<Decoder> decoder, Header* header, std::string* error) {
  if (!decoder->input) {
    *error = OIIO::geterror();
    return nullptr;
  }
  *header = HeaderOf(*decoder->input);
  return decoder.release();
}

Decoder* OpenFile(const char* path, Header* header, std::string* error) noexcept try {
  auto decoder = std::make_unique<Decoder>();
  decoder->input = OIIO::ImageInput::open(path);
  return Opened(std::move(decoder), header, error);
} catch (const std::exception& failure) {
  *error = failure.what();
  return nullptr;
}

Decoder* OpenMemory(const unsigned char* bytes, size_t size, const char* nameHint, Header* header,
                    std::string* error) noexcept try {
  auto decoder = std::make_unique<Decoder>();
  decoder->memory = std::make_unique<OIIO::Filesystem::IOMemReader>(const_cast<unsigned char*>(bytes), size);
  decoder->input = OIIO::ImageInput::open(nameHint, nullptr, decoder->memory.get());
  return Opened(std::move(decoder), header, error);
} catch (const std::exception& failure) {
  *error = failure.what();
  return nullptr;
}

bool Read(Decoder* decoder, SampleType type, void* pixels, std::string* problems) noexcept try {
  const OIIO::TypeDesc format = type == SampleType::Float ? OIIO::TypeDesc::FLOAT : OIIO::TypeDesc::UINT8;
  const int channels = decoder->input->spec().nchannels;
  const bool read = decoder->input->read_image(0, 0, 0, channels, format, pixels);
  *problems = decoder->input->geterror();
  return read;
} catch (const std::exception& failure) {
  *problems = failure.what();
  return false;
}

void Close(Decoder* decoder) noexcept { delete decoder; }

OIIO::ImageSpec SpecOf(const EncodeRequest& request) {
  OIIO::ImageSpec spec(
      request.width, request.height, request.channels,
      request.fileSample == SampleType::Float ? OIIO::TypeDesc::FLOAT : OIIO::TypeDesc::UINT8);
  spec.alpha_channel = request.alphaChannel;
  for (const Attribute& attribute : request.attributes) {
    if (attribute.kind == Attribute::Kind::Integer)
      spec.attribute(attribute.name, attribute.integer);
    else if (attribute.kind == Attribute::Kind::Real)
      spec.attribute(attribute.name, attribute.real);
    else
      spec.attribute(attribute.name, attribute.text);
  }
  return spec;
}

bool Encode(const EncodeRequest* request, std::vector<unsigned char>* bytes, std::string* error) noexcept
    try {
  auto output = OIIO::ImageOutput::create(request->path);
  if (!output) {
    *error = "no image writer for its suffix (" + OIIO::geterror() + ")";
    return false;
  }
  OIIO::Filesystem::IOVecOutput memory(*bytes);
  const bool floats = request->floatPixels != nullptr;
  const void* pixels = floats ? static_cast<const void*>(request->floatPixels) : request->bytePixels;
  const bool encoded = output->supports("ioproxy") && output->set_ioproxy(&memory) &&
                       output->open(request->path, SpecOf(*request)) &&
                       output->write_image(floats ? OIIO::TypeDesc::FLOAT : OIIO::TypeDesc::UINT8, pixels) &&
                       output->close();
  if (!encoded) {
    const std::string reason = output->geterror();
    *error = reason.empty() ? "the image cannot be encoded" : reason;
  }
  return encoded;
} catch (const std::exception& failure) {
  *error = failure.what();
  return false;
}

const Table kTable = {kTableVersion, OpenFile, OpenMemory, Read, Close, Encode};

}  // namespace
}  // namespace image_codec

extern "C" __attribute__((visibility("default"))) const image_codec::Table* orvex360_imageio_table() {
  return &image_codec::kTable;
}
