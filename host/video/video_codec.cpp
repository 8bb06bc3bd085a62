#include "video_codec.h"

#include "base/side_library.h"

namespace video_codec {

const Table* Load(std::string& error) {
  return side_library::LoadOnce<Table>(
      {kLibraryName, kTableSymbol, kTableVersion, "videos cannot be written or read", "video"}, error);
}

}  // namespace video_codec
