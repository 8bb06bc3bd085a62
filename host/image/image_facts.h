#pragma once

#include "image_metadata.h"

#include <string>

// What an image file says about itself: its size and format, and the metadata of the known
// vocabularies (XMP in JPEG, PNG and TIFF files; header attributes in EXR files).
struct ImageFacts {
  std::string format;  // the reader's name: "png", "jpeg", "tiff", "openexr"
  int width = 0;
  int height = 0;
  int channels = 0;
  std::string date;       // the format's own date field ("YYYY:MM:DD HH:MM:SS"); empty when none
  std::string xmpPacket;  // as stored; empty for EXR and files without one
  ImageMetadata metadata;
};

// Reads the header and the metadata; false with `error` when the file cannot be read as an image.
bool ReadImageFacts(const std::string& path, ImageFacts& facts, std::string& error);

// Whether the file is a complete image: every pixel decodes (a truncated or damaged file fails),
// within the input limits. False with `error` saying why not.
bool VerifyImageComplete(const std::string& path, std::string& error);
