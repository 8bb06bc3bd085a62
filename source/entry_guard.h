#pragma once

#include <utility>

// No exception crosses into the host: every call the host makes into the module runs through
// Guarded, which stops an exception (a failed allocation in a string or vector, a throwing
// callback) at the entry, logs one line and hands the host the call's failure value instead.

// Who was called, for the log line: "owner::call", or the call alone without an owner.
struct EntryName {
  const char* owner;
  const char* call;
};

// Logs ">>> ERROR <entry> stopped: <what>" for the exception being handled; never throws.
void LogStoppedException(EntryName entry) noexcept;

template <typename Result, typename Call>
Result Guarded(EntryName entry, Result failure, Call&& call) noexcept {
  try {
    return std::forward<Call>(call)();
  } catch (...) {
    LogStoppedException(entry);
    return failure;
  }
}

template <typename Call>
void Guarded(EntryName entry, Call&& call) noexcept {
  try {
    std::forward<Call>(call)();
  } catch (...) {
    LogStoppedException(entry);
  }
}
