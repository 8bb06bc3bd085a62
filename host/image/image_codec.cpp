#include "image_codec.h"

#include "base/side_library.h"
#include "files/regular_file.h"
#include "png_codec.h"
#include "png_request.h"

#include <fstream>

namespace image_codec {
namespace {

// The largest image read (16384 x 8192 pixels of 16-bit RGBA) stored without compression, and more.
constexpr std::uintmax_t kMaxPngFileBytes = std::uintmax_t{2} << 30;

// The whole file when it starts with the PNG signature and is not too large, else nothing (the
// image library then reads it, or refuses it).
std::vector<unsigned char> PngFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char signature[8] = {};
  if (!file.read(reinterpret_cast<char*>(signature), sizeof(signature)) ||
      !png_codec::HasSignature(signature, sizeof(signature)))
    return {};
  std::vector<unsigned char> bytes;
  if (std::string ignored; !regular_file::ReadWhole(path, kMaxPngFileBytes, bytes, ignored)) return {};
  return bytes;
}

}  // namespace

const Table* Load(std::string& error) {
  return side_library::LoadOnce<Table>(
      {kLibraryName, kTableSymbol, kTableVersion, "images cannot be read or written", "image"}, error);
}

Reader::~Reader() {
  if (decoder_) table_->close(decoder_);
  if (png_) png_codec::DecoderDeleter()(png_);
}

// True when the bytes were a PNG this reader takes (opened, or refused with `error`); false leaves
// them to the image library.
bool Reader::OpenPng(std::vector<unsigned char> bytes, std::string& error) {
  png_codec::DecoderPointer decoder;
  const png_codec::Opened opened = png_codec::Open(std::move(bytes), decoder, header_, error);
  png_ = decoder.release();
  return opened != png_codec::Opened::NotPng;
}

bool Reader::Open(const std::string& path, std::string& error) {
  if (!regular_file::Check(path, error)) return false;
  if (OpenPng(PngFileBytes(path), error)) return png_ != nullptr;
  table_ = Load(error);
  if (!table_) return false;
  decoder_ = table_->openFile(path.c_str(), &header_, &error);
  return decoder_ != nullptr;
}

bool Reader::OpenMemory(const unsigned char* bytes, size_t size, const std::string& nameHint,
                        std::string& error) {
  if (png_codec::HasSignature(bytes, size) && OpenPng(std::vector<unsigned char>(bytes, bytes + size), error))
    return png_ != nullptr;
  table_ = Load(error);
  if (!table_) return false;
  decoder_ = table_->openMemory(bytes, size, nameHint.c_str(), &header_, &error);
  return decoder_ != nullptr;
}

bool Reader::ReadFloats(float* pixels, std::string& problems) {
  if (png_) return png_codec::Read(*png_, SampleType::Float, pixels, problems);
  return decoder_ && table_->read(decoder_, SampleType::Float, pixels, &problems);
}

bool Reader::ReadBytes(unsigned char* pixels, std::string& problems) {
  if (png_) return png_codec::Read(*png_, SampleType::UInt8, pixels, problems);
  return decoder_ && table_->read(decoder_, SampleType::UInt8, pixels, &problems);
}

bool Encode(const EncodeRequest& request, std::vector<unsigned char>& bytes, std::string& error) {
  if (png_codec::TakesRequest(request)) return png_codec::EncodeRequest(request, bytes, error);
  const Table* table = Load(error);
  return table && table->encode(&request, &bytes, &error);
}

}  // namespace image_codec
