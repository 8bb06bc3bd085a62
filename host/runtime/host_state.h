#pragma once

#include "c4d.h"

#include <string>
#include <vector>

// Application-wide state of the stand-in host: documents, running renders, the user's answers.
namespace host_state {
void SetActiveDocument(BaseDocument* doc);
Int32 EventCount();
// How many times a module asked for the views to be redrawn (DrawViews).
Int32 RedrawRequests();
void SetRendering(CHECKISRUNNING kind, Bool running);
std::vector<std::string> OpenedPages();
// The answer a question dialog gets; the headless host has no user to ask.
void SetDialogAnswer(GEMB_R answer);
std::vector<std::string> DialogTexts();
// Host windows opened by commands (the render settings...), in order.
std::vector<std::string> OpenedWindows();
void Reset();
}  // namespace host_state
