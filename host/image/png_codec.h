#pragma once

#include "image_codec.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// PNG files read and written through libpng and zlib directly, without the image library: the
// renderer's own output and the PNGs users give it start no dynamic loading. Pixels and header facts
// come out as the image library gives them (bytes times 1/255, 16-bit values times 1/65535, palette
// and transparency expanded, colour associated with alpha on read).
namespace png_codec {

struct Decoder;  // a PNG file held in memory, its header read

struct DecoderDeleter {
  void operator()(Decoder* decoder) const;
};
using DecoderPointer = std::unique_ptr<Decoder, DecoderDeleter>;

enum class Opened { Png, NotPng, Refused };

// True when `bytes` start with the PNG signature.
bool HasSignature(const unsigned char* bytes, size_t size);

// Reads the header of the PNG `bytes` (copied). NotPng when they are no PNG or one this reader leaves
// to the image library; Refused with `error` for a PNG whose header is damaged.
Opened Open(std::vector<unsigned char> bytes, DecoderPointer& decoder, image_codec::Header& header,
            std::string& error);

// Every channel of the whole image as `type` (UInt8 or Float); false with `error` when the image
// data is damaged or ends early.
bool Read(Decoder& decoder, image_codec::SampleType type, void* pixels, std::string& error);

}  // namespace png_codec
