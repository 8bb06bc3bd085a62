#pragma once

#include "float_image.h"
#include "image_metadata.h"

#include <string>
#include <vector>

// Render output through the host's image seam (PNG written directly, the rest by the image library): EXR
// keeps the linear, unclamped floats; PNG, JPEG and TIFF are display-encoded (sRGB, 8 bits). Every format but
// JPEG keeps the alpha channel.
namespace image_output {

// True for a file name whose suffix names a format the renderer writes.
bool IsSupportedPath(const std::string& path);
// The suffixes IsSupportedPath takes, for messages.
inline constexpr const char* kSuffixes = ".exr, .png, .jpg, .jpeg, .tif or .tiff";
// Whether the file at `path` keeps scene-linear light (EXR) rather than display-encoded values.
bool IsSceneLinear(const std::string& path);

// Checks, before any rendering, that an image can be written at `path`: a known suffix and a
// folder that exists and takes new files. False with a clear `error` otherwise.
bool CheckWritable(const std::string& path, std::string& error);

// The file of one frame: "#" runs in the name become the zero-padded frame number; without them a
// numbered sequence gets "_NNNN" before the suffix, a single frame keeps the path as it is.
std::string FramePath(const std::string& path, Int32 frame, bool numbered);

// True when `path` names a format without alpha (JPEG) and `image` is not opaque everywhere: the
// file shows the image over black.
bool DropsTransparency(const FloatImage& image, const std::string& path);

// The file of one frame of something written beside each image of `images` (a report): numbered as
// the images are. A `path` with its own "#" runs numbers by them; else, when the images' name has
// one, "_" and that run go before the suffix; else as FramePath.
std::string CompanionFramePath(const std::string& path, const std::string& images, Int32 frame,
                               bool numbered);

// Writes the image under a temporary name and renames it into place, so that a failed write
// leaves no partial file. The metadata goes in as XMP (JPEG, PNG, TIFF) or as header attributes
// named "vocabulary:Name" (EXR), its date in each format's own date field. False with `error`
// when writing fails.
bool Write(const FloatImage& image, const std::string& path, std::string& error,
           const ImageMetadata& metadata = {});

// The image as the bytes of a PNG file (display-encoded, with the metadata), for a file written
// together with others; false with `error` when it cannot be encoded.
bool EncodePng(const FloatImage& image, const ImageMetadata& metadata, std::vector<unsigned char>& bytes,
               std::string& error);

// The linear value of a display-encoded one (the inverse of the sRGB transfer function).
Float32 DecodeSrgb(Float32 encoded);

}  // namespace image_output
