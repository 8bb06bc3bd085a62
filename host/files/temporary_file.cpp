#include "temporary_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>

namespace temporary_file {
namespace {

// The names the signal handler removes, in fixed storage it can read without locks or allocation.
constexpr int kSlots = 64;
constexpr size_t kPathBytes = 4096;
enum SlotState : int { kFree, kFilling, kLive };
struct Slot {
  std::atomic<int> state{kFree};
  char path[kPathBytes];
};
Slot slots[kSlots];
struct sigaction previousInterrupt;
struct sigaction previousTerminate;

void RemoveNamesAndEnd(int signal) {
  for (Slot& slot : slots)
    if (slot.state.load(std::memory_order_acquire) == kLive) ::unlink(slot.path);
  // The signal's earlier action (usually: end the process) takes over once this handler returns.
  sigaction(signal, signal == SIGINT ? &previousInterrupt : &previousTerminate, nullptr);
  raise(signal);
}

void InstallHandlerOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const int signal : {SIGINT, SIGTERM}) {
      struct sigaction current {};
      sigaction(signal, nullptr, &current);
      if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;
      struct sigaction handler {};
      handler.sa_handler = RemoveNamesAndEnd;
      sigemptyset(&handler.sa_mask);
      sigaction(signal, &handler, signal == SIGINT ? &previousInterrupt : &previousTerminate);
    }
  });
}

// Tells the handler about `path`; -1 when every slot is taken (the name then goes unguarded).
int Remember(const std::string& path) {
  InstallHandlerOnce();
  if (path.size() >= kPathBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(kLive, std::memory_order_release);
    return i;
  }
  return -1;
}

void Release(int& slot) {
  if (slot >= 0) slots[slot].state.store(kFree, std::memory_order_release);
  slot = -1;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// Unnamed files are linked into place through /proc; without it they cannot be, so none is made.
bool CanLinkUnnamed() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

}  // namespace

std::string HiddenName(const std::string& folder) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name = folder + "/.orvex360-";
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof(kLetters) - 1)];
  return name;
}

SignalsHeld::SignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

Temporary::~Temporary() {
  if (descriptor_ >= 0) ::close(descriptor_);
  if (!name_.empty()) ::unlink(name_.c_str());
  Forget();
}

void Temporary::Forget() { Release(slot_); }

bool Temporary::TakeName(const std::function<bool(const char*)>& make) {
  // The handler knows each name before a file has it, so no moment leaves the file unguarded.
  for (int attempt = 0; attempt < 100; ++attempt) {
    name_ = HiddenName(folder_);
    slot_ = Remember(name_);
    if (make(name_.c_str())) return true;
    const int reason = errno;
    Forget();
    name_.clear();
    errno = reason;
    if (reason != EEXIST) return false;
  }
  return false;
}

bool Temporary::Create(const std::string& target) {
  folder_ = FolderOf(target);
  if (CanLinkUnnamed()) {
    descriptor_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) return true;
  }
  return TakeName([this](const char* name) {
    descriptor_ = ::open(name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    return descriptor_ >= 0;
  });
}

std::string Temporary::OpenPath() const {
  if (!name_.empty()) return name_;
  return descriptor_ >= 0 ? "/proc/self/fd/" + std::to_string(descriptor_) : std::string();
}

bool Temporary::CloseAndName() {
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor_);
  const bool named = !name_.empty() || TakeName([&self](const char* name) {
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
  });
  const int reason = errno;
  const bool closed = ::close(descriptor_) == 0;
  descriptor_ = -1;
  if (!named) errno = reason;
  return named && closed;
}

bool Temporary::MoveOver(const std::string& target) {
  if (std::rename(name_.c_str(), target.c_str()) != 0) return false;
  name_.clear();
  Forget();
  return true;
}

GuardedName::GuardedName(const std::string& folder) : path_(HiddenName(folder)), slot_(Remember(path_)) {}

GuardedName::~GuardedName() { Release(slot_); }

}  // namespace temporary_file
