#include "host_state.h"

#include "console.h"

#include <atomic>
#include <mutex>

namespace {
struct State {
  BaseDocument* activeDocument = nullptr;
  std::atomic<Int32> events{0};
  std::atomic<Int32> redrawRequests{0};
  std::atomic<bool> editorRendering{false};
  std::atomic<bool> externalRendering{false};
  std::vector<std::string> pages;
  std::vector<std::string> dialogs;
  std::vector<std::string> openedWindows;
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
Int32 RedrawRequests() { return Get().redrawRequests; }

void SetRendering(CHECKISRUNNING kind, Bool running) {
  (kind == CHECKISRUNNING_EDITORRENDERING ? Get().editorRendering : Get().externalRendering) = running;
}

std::vector<std::string> OpenedPages() { return Get().pages; }
void SetDialogAnswer(GEMB_R answer) { Get().dialogAnswer = answer; }
std::vector<std::string> DialogTexts() { return Get().dialogs; }
std::vector<std::string> OpenedWindows() { return Get().openedWindows; }

void Reset() {
  State& state = Get();
  state.activeDocument = nullptr;
  state.events = 0;
  state.redrawRequests = 0;
  state.editorRendering = false;
  state.externalRendering = false;
  state.pages.clear();
  state.dialogs.clear();
  state.openedWindows.clear();
  state.dialogAnswer = GEMB_R_NO;
}
}  // namespace host_state

BaseDocument* GetActiveDocument() { return Get().activeDocument; }
void EventAdd() { Get().events++; }

// The headless host has no window: its views are drawn when asked for a picture (`orvex360 view`),
// which always shows the current state. A redraw request is counted and said on the console.
Bool DrawViews(Int32 flags, BaseDraw* view) {
  BaseDocument* doc = Get().activeDocument;
  if (!view && doc) view = doc->GetActiveBaseDraw();
  if (!view) {
    console::Print("[host] DrawViews refused: there is no active document with a view to redraw");
    return false;
  }
  const Int32 request = ++Get().redrawRequests;
  console::Print("[host] views redrawn: request " + std::to_string(request) + ", flags " +
                 std::to_string(flags));
  return true;
}

Bool CheckIsRunning(CHECKISRUNNING kind) {
  return kind == CHECKISRUNNING_EDITORRENDERING ? Get().editorRendering.load()
                                                : Get().externalRendering.load();
}

// The headless host cannot open a browser: it says which page it would open.
void GeOpenHTML(const String& address) {
  Get().pages.push_back(address.GetStdString());
  console::Print("[host] open web page: " + address.GetStdString());
}

// A notice has only an OK button, so it is answered OK; a question gets the scripted answer.
GEMB_R GeOutString(const String& text, Int32 flags) {
  const bool question = (flags & GEMB_YESNO) != 0;
  Get().dialogs.push_back(text.GetStdString());
  const GEMB_R answer = question ? Get().dialogAnswer : GEMB_R_OK;
  console::Print(std::string(question ? "[host] question: " : "[host] notice: ") + text.GetStdString());
  if (question) console::Print(answer == GEMB_R_YES ? "[host] answered: yes" : "[host] answered: no");
  return answer;
}

namespace {

// The host's own commands; false for an ID the host does not know itself.
bool RunHostCommand(Int32 commandId) {
  if (commandId != COMMAND_OPEN_RENDER_SETTINGS) return false;
  Get().openedWindows.push_back("render settings");
  console::Print("[host] render settings opened");
  return true;
}
}  // namespace

// The host's own commands first, then those registered by modules.
Bool CallCommandById(Int32 commandId);
Bool CallCommand(Int32 commandId) { return RunHostCommand(commandId) || CallCommandById(commandId); }
