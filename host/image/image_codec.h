#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Every image file the host reads or writes goes through this one seam. Behind it stands
// liborvex360_imageio.so, the only part of the host that links the image library; the host loads
// it beside liborvexhost.so the first time an image is read or written, so that commands which
// touch no image (help, listing plugins) start without mapping the image library's hundreds of
// dependencies.
namespace png_codec {
struct Decoder;
}

namespace image_codec {

enum class SampleType { UInt8, UInt16, Float, Other };

// What a file's header says.
struct Header {
  int width = 0;
  int height = 0;
  int channels = 0;
  SampleType sample = SampleType::Other;  // Float for every floating-point type (half, float, double)
  std::string format;                     // the reader's name: "png", "jpeg", "tiff", "openexr"
  std::string colourSpace;                // as the file states it; empty when it does not
  std::string date;                       // the format's date field ("YYYY:MM:DD HH:MM:SS")
  std::vector<std::pair<std::string, std::string>> attributes;  // every header attribute, as text
};

// A header attribute of a written file.
struct Attribute {
  enum class Kind { Text, Integer, Real };
  std::string name;
  Kind kind = Kind::Text;
  std::string text;
  int integer = 0;
  float real = 0.0f;
};

// An image to encode: interleaved pixels, either floats or bytes (exactly one of the two).
struct EncodeRequest {
  std::string path;  // its suffix names the format
  int width = 0;
  int height = 0;
  int channels = 0;
  SampleType fileSample = SampleType::UInt8;  // UInt8 or Float in the file
  int alphaChannel = -1;
  std::vector<Attribute> attributes;
  const float* floatPixels = nullptr;
  const unsigned char* bytePixels = nullptr;
};

struct Decoder;  // an open file inside the library

// The library's entry points, answered by its one exported symbol kTableSymbol. No exception
// leaves them: failures are false or null with the reason in the string.
struct Table {
  int version;
  Decoder* (*openFile)(const char* path, Header* header, std::string* error);
  // `nameHint`'s suffix names the format of the bytes in memory.
  Decoder* (*openMemory)(const unsigned char* bytes, size_t size, const char* nameHint, Header* header,
                         std::string* error);
  // Every channel of the whole image as `type` (UInt8 or Float); `problems` gets what the reader
  // reported even when it answered success (some report a short strip that way).
  bool (*read)(Decoder* decoder, SampleType type, void* pixels, std::string* problems);
  void (*close)(Decoder* decoder);
  bool (*encode)(const EncodeRequest* request, std::vector<unsigned char>* bytes, std::string* error);
};

inline constexpr int kTableVersion = 1;
inline constexpr const char* kTableSymbol = "orvex360_imageio_table";
inline constexpr const char* kLibraryName = "liborvex360_imageio.so";

// The loaded library's table, loading it on first use; null with `error` saying why (missing
// library, wrong version). Thread-safe.
const Table* Load(std::string& error);

// An image file (or bytes in memory) opened for reading; closes itself. PNG files are read without
// the image library (png_codec).
class Reader {
 public:
  Reader() = default;
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  ~Reader();

  bool Open(const std::string& path, std::string& error);
  bool OpenMemory(const unsigned char* bytes, size_t size, const std::string& nameHint, std::string& error);
  const Header& header() const { return header_; }
  // Every channel as floats (UInt8 and UInt16 scaled to [0, 1]) or as bytes.
  bool ReadFloats(float* pixels, std::string& problems);
  bool ReadBytes(unsigned char* pixels, std::string& problems);

 private:
  bool OpenPng(std::vector<unsigned char> bytes, std::string& error);

  const Table* table_ = nullptr;
  Decoder* decoder_ = nullptr;
  png_codec::Decoder* png_ = nullptr;
  Header header_;
};

// Encodes the image in memory; false with `error` (which names no file) when it cannot.
bool Encode(const EncodeRequest& request, std::vector<unsigned char>& bytes, std::string& error);

}  // namespace image_codec
