#include "entry_guard.h"

#include "module_log.h"

#include <exception>

void LogStoppedException(EntryName entry) noexcept {
  const char* owner = entry.owner ? entry.owner : "";
  const char* separator = entry.owner ? "::" : "";
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      ModuleLog(">>> ERROR %s%s%s stopped: %s", owner, separator, entry.call, error.what());
    } catch (...) {
      ModuleLog(">>> ERROR %s%s%s stopped: unknown exception", owner, separator, entry.call);
    }
  } catch (...) {
    // The line itself could not be made (no memory left for it): the refusal has to speak alone.
  }
}
