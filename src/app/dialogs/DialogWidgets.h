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

// Names the last widget drawn, for DialogWindow::PlaceOf.
void MarkPlace(const std::string& name);

// A button or check box that names itself by its label.
bool PushButton(const char* label, float width = 0.0f);
bool CheckBox(const char* label, bool& value);

// True on the frame the key went down while the dialog has the focus.
bool EnterPressed();
bool EscapePressed();

}  // namespace vesta
