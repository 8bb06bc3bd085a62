#include "canvas/view_canvas.h"

void LogDrawCall(ViewCanvas& canvas, const std::string& line) {
  if (canvas.log) canvas.log->push_back(line);
}
