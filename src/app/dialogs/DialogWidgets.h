#pragma once
// Pieces shared by the dialogs' ImGui frames.

#include <string>
#include <vector>

namespace vesta {

// A window filling the dialog's whole client area, without decorations of its own.
void BeginDialogPanel(const char* name);
void EndDialogPanel();

// A labelled drop-down list; true when the choice changed.
bool DropDownList(const char* label, const std::vector<std::string>& items, int& chosen);

// True on the frame the key went down while the dialog has the focus.
bool EnterPressed();
bool EscapePressed();

}  // namespace vesta
