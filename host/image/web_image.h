#pragma once

#include <string>
#include <vector>

// An image as a web page shows it: PNG or JPEG bytes, display-encoded, no side above the largest
// texture WebGL implementations commonly take.
struct WebImage {
  std::vector<unsigned char> bytes;
  std::string mimeType;  // "image/png" or "image/jpeg"
  int width = 0;
  int height = 0;
};

inline constexpr int kMaxWebTextureSide = 8192;

// PNG and JPEG files within the size are taken byte for byte once every pixel decodes; anything else the
// image library reads (EXR is taken as linear, other formats as display-encoded) is converted to PNG, scaled
// down to fit. False with `error` naming the file when it cannot be read, is cut short or is too large to
// decode.
bool EncodeForWeb(const std::string& path, WebImage& image, std::string& error);

// The bytes as base64 (RFC 4648, with padding), as a data URI carries them.
std::string Base64(const std::vector<unsigned char>& bytes);
