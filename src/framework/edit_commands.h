#pragma once

#include <string>

namespace fw {

// The standard edit commands, known by the names of the menu items that offer them ("EditUndo", "EditCut",
// "EditCopy", "EditPaste", "EditClear", "EditSelectAll"), done to the widget with the keyboard focus. Any
// other name, or a focus widget that is not a text field, can do nothing.
bool canPerformEditCommand(const std::string& itemName);
// Does nothing when the command cannot be done now, so a stale menu state never acts on the wrong widget.
void performEditCommand(const std::string& itemName);

} // namespace fw
