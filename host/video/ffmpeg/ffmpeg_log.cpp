#include "ffmpeg_video.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdarg>

namespace ffmpeg_video {
namespace {

thread_local std::string lastError;

void KeepErrors(void* object, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_ERROR) return;
  char line[1024];
  int prefix = 1;
  av_log_format_line2(object, level, format, arguments, line, sizeof(line), &prefix);
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (!text.empty()) lastError = text;
}

}  // namespace

void KeepLogLines() { av_log_set_callback(KeepErrors); }

std::string Failure(const std::string& what, int code) {
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, reason, sizeof(reason));
  std::string message = what + ": " + reason;
  if (!lastError.empty()) message += " (" + lastError + ")";
  lastError.clear();
  return message;
}

}  // namespace ffmpeg_video
