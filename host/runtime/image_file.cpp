#include "image_file.h"

#include "atomic_file.h"
#include "xmp_embed.h"

#include <OpenImageIO/filesystem.h>

#include <vector>

namespace {

bool Encode(const std::string& path, const OIIO::ImageSpec& spec, const float* pixels,
            std::vector<unsigned char>& bytes, std::string& error) {
  auto output = OIIO::ImageOutput::create(path);
  if (!output) {
    error = "cannot write \"" + path + "\": no image writer for its suffix (" + OIIO::geterror() + ")";
    return false;
  }
  OIIO::Filesystem::IOVecOutput memory(bytes);
  const bool encoded = output->supports("ioproxy") && output->set_ioproxy(&memory) &&
                       output->open(path, spec) && output->write_image(OIIO::TypeDesc::FLOAT, pixels) &&
                       output->close();
  if (!encoded) {
    const std::string reason = output->geterror();
    error = "cannot write \"" + path + "\": " + (reason.empty() ? "the image cannot be encoded" : reason);
  }
  return encoded;
}

}  // namespace

bool WriteImageFile(const std::string& path, const OIIO::ImageSpec& spec, const float* pixels,
                    std::string& error, const std::string& xmpPacket) {
  std::vector<unsigned char> bytes;
  if (!Encode(path, spec, pixels, bytes, error)) return false;
  if (!xmpPacket.empty() && !xmp_embed::Insert(bytes, xmpPacket, error)) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  return atomic_file::Write(path, bytes, error);
}
