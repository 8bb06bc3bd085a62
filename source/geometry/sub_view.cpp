#include "geometry/sub_view.h"

#include <algorithm>

namespace orvex {

void SubView::Reset() {
  area = RenderArea();
  index = -1;
  rotation = 0;
  flipU = false;
  flipV = false;
}

void SubView::SetName(std::string_view text) {
  const std::size_t length = std::min(text.size(), kNameCapacity - 1);
  name.fill('\0');
  std::copy_n(text.begin(), length, name.begin());
}

std::string_view SubView::GetName() const {
  const auto terminator = std::find(name.begin(), name.end(), '\0');
  return {name.data(), static_cast<std::size_t>(terminator - name.begin())};
}

}  // namespace orvex
