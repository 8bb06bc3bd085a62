#include "geometry/sub_view.h"

namespace orvex {

void SubView::Reset() {
  area = RenderArea();
  index = -1;
  rotation = 0;
  flipU = false;
  flipV = false;
}

}  // namespace orvex
