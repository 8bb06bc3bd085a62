#pragma once

#include "image_codec.h"

#include <string>

// Writes an image file in the format its suffix (`request.path`) names, completely or not at all:
// the image is encoded in memory first (so no encoder ever meets a full disk half-way), then
// written through atomic_file. A non-empty `xmpPacket` is placed into JPEG, PNG and TIFF files
// before the write. False with `error` naming the file and the reason.
bool WriteImageFile(const image_codec::EncodeRequest& request, std::string& error,
                    const std::string& xmpPacket = {});
