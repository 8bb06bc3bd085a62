#include "host_state.h"

#include "console.h"

#include <atomic>
#include <mutex>

namespace {
struct State {
  BaseDocument* activeDocument = nullptr;
  std::atomic<Int32> events{0};
  std::atomic<bool> editorRendering{false};
  std::atomic<bool> externalRendering{false};
  std::vector<std::string> pages;
  std::vector<std::string> dialogs;
  GEMB_R dialogAnswer = GEMB_R_NO;
};

State& Get() {
  static State state;
  return state;
}
}  // namespace

namespace host_state {
void SetActiveDocument(BaseDocument* doc) { Get().activeDocument = doc; }
Int32 EventCount() { return Get().events; }

void SetRendering(CHECKISRUNNING kind, Bool running) {
  (kind == CHECKISRUNNING_EDITORRENDERING ? Get().editorRendering : Get().externalRendering) = running;
}

std::vector<std::string> OpenedPages() { return Get().pages; }
void SetDialogAnswer(GEMB_R answer) { Get().dialogAnswer = answer; }
std::vector<std::string> DialogTexts() { return Get().dialogs; }

void Reset() {
  State& state = Get();
  state.activeDocument = nullptr;
  state.events = 0;
  state.editorRendering = false;
  state.externalRendering = false;
  state.pages.clear();
  state.dialogs.clear();
  state.dialogAnswer = GEMB_R_NO;
}
}  // namespace host_state

BaseDocument* GetActiveDocument() { return Get().activeDocument; }
void EventAdd() { Get().events++; }

Bool CheckIsRunning(CHECKISRUNNING kind) {
  return kind == CHECKISRUNNING_EDITORRENDERING ? Get().editorRendering.load()
                                                : Get().externalRendering.load();
}

// The headless host cannot open a browser: it says which page it would open.
void GeOpenHTML(const String& address) {
  Get().pages.push_back(address.GetStdString());
  console::Print("[host] open web page: " + address.GetStdString());
}

GEMB_R GeOutString(const String& text, Int32 /*flags*/) {
  Get().dialogs.push_back(text.GetStdString());
  console::Print("[host] dialog: " + text.GetStdString());
  return Get().dialogAnswer;
}

// Commands are run by the registry when one is registered under the ID.
Bool CallCommandById(Int32 commandId);
Bool CallCommand(Int32 commandId) { return CallCommandById(commandId); }
