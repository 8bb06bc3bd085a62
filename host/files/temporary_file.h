#pragma once

#include <csignal>
#include <functional>
#include <string>

// Temporary files beside a target that nothing leaves behind. A file is written unnamed where the
// file system allows it (O_TMPFILE), so that no end of the process, not even SIGKILL, leaves it;
// elsewhere under a short hidden name (".orvex360-XXXXXX"). Every name a temporary file holds is
// known to a SIGINT and SIGTERM handler that removes it before the process ends as the signal
// says (a farm cancels its jobs with SIGTERM). Signals the process ignores stay ignored.
namespace temporary_file {

// A temporary file in the folder of a target.
class Temporary {
 public:
  Temporary() = default;
  ~Temporary();  // closes it and removes what is not yet in place
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  // Creates the file in the folder of `target`; false with errno set when the folder takes none.
  bool Create(const std::string& target);
  int Descriptor() const { return descriptor_; }
  // A path another writer can open the file by while it is open here: its hidden name, or the
  // descriptor's entry in /proc while it is unnamed.
  std::string OpenPath() const;
  // Closes the written file and gives it a hidden name in the target's folder (an unnamed file is
  // linked there); false with errno set. Call with SignalsHeld alive, so a signal cannot end the
  // process between naming and renaming.
  bool CloseAndName();
  // Renames the named file over `target`; false with errno set.
  bool MoveOver(const std::string& target);

 private:
  // Gives the file a fresh hidden name through `make` (which creates or links under it); false with
  // errno set.
  bool TakeName(const std::function<bool(const char*)>& make);
  void Forget();

  int descriptor_ = -1;
  std::string folder_;
  std::string name_;  // empty while unnamed or once in place
  int slot_ = -1;     // the handler's record of `name_`
};

// A hidden name in `folder` that a SIGINT or SIGTERM removes, for a file made under it while this
// lives (a backup link); empty when no name could be made.
class GuardedName {
 public:
  explicit GuardedName(const std::string& folder);
  ~GuardedName();  // forgets the name; the file under it stays
  GuardedName(const GuardedName&) = delete;
  GuardedName& operator=(const GuardedName&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int slot_ = -1;
};

// Holds SIGINT and SIGTERM back in this thread while it lives: they are delivered when it ends.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// A fresh hidden name in `folder` (".orvex360-" and six random letters or digits); not yet taken
// when it is made, which the caller's link or create confirms.
std::string HiddenName(const std::string& folder);

}  // namespace temporary_file
