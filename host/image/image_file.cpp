#include "image_file.h"

#include "files/atomic_file.h"
#include "xmp_embed.h"

#include <vector>

bool WriteImageFile(const image_codec::EncodeRequest& request, std::string& error,
                    const std::string& xmpPacket) {
  const std::string& path = request.path;
  std::vector<unsigned char> bytes;
  if (!image_codec::Encode(request, bytes, error)) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  if (!xmpPacket.empty() && !xmp_embed::Insert(bytes, xmpPacket, error)) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  return atomic_file::Write(path, bytes, error);
}
