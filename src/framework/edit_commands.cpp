#include "edit_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <array>
#include <optional>
#include <utility>

namespace fw {
namespace {

enum class EditCommand { Undo, Cut, Copy, Paste, Clear, SelectAll };

std::optional<EditCommand> commandNamed(const std::string& itemName) {
    static const std::array<std::pair<const char*, EditCommand>, 6> commands{{
        {"EditUndo", EditCommand::Undo},
        {"EditCut", EditCommand::Cut},
        {"EditCopy", EditCommand::Copy},
        {"EditPaste", EditCommand::Paste},
        {"EditClear", EditCommand::Clear},
        {"EditSelectAll", EditCommand::SelectAll},
    }};
    for (const auto& [name, command] : commands) {
        if (itemName == name)
            return command;
    }
    return std::nullopt;
}

// What a text field offers the commands, whichever kind of field it is.
struct TextFieldState {
    bool undoAvailable;
    bool hasSelection;
    bool readOnly;
    bool empty;
    // A password field keeps its text to itself, so cutting or copying from it must not reach the clipboard.
    bool textMayLeave;
};

TextFieldState stateOf(const QLineEdit& edit) {
    return {edit.isUndoAvailable(), edit.hasSelectedText(), edit.isReadOnly(), edit.text().isEmpty(),
            edit.echoMode() == QLineEdit::Normal};
}

template <class DocumentEdit> TextFieldState stateOf(const DocumentEdit& edit) {
    return {edit.document()->isUndoAvailable(), edit.textCursor().hasSelection(), edit.isReadOnly(),
            edit.document()->isEmpty(), true};
}

bool clipboardHasText() { return !QApplication::clipboard()->text().isEmpty(); }

bool allows(EditCommand command, const TextFieldState& state) {
    switch (command) {
    case EditCommand::Undo:
        // A document's undo stack does not know that its editor became read-only.
        return state.undoAvailable && !state.readOnly;
    case EditCommand::Cut:
        return state.hasSelection && !state.readOnly && state.textMayLeave;
    case EditCommand::Copy:
        return state.hasSelection && state.textMayLeave;
    case EditCommand::Paste:
        return !state.readOnly && clipboardHasText();
    case EditCommand::Clear:
        return state.hasSelection && !state.readOnly;
    case EditCommand::SelectAll:
        return !state.empty;
    }
    return false;
}

void deleteSelection(QLineEdit& edit) { edit.del(); }

// The cursor is a copy, but it edits the widget's own document.
template <class DocumentEdit> void deleteSelection(DocumentEdit& edit) {
    edit.textCursor().removeSelectedText();
}

template <class Edit> void perform(EditCommand command, Edit& edit) {
    switch (command) {
    case EditCommand::Undo:
        edit.undo();
        return;
    case EditCommand::Cut:
        edit.cut();
        return;
    case EditCommand::Copy:
        edit.copy();
        return;
    case EditCommand::Paste:
        edit.paste();
        return;
    case EditCommand::Clear:
        deleteSelection(edit);
        return;
    case EditCommand::SelectAll:
        edit.selectAll();
        return;
    }
}

// Hands the focused text field, whatever its kind, to the visitor and yields its answer; false when the focus
// is on anything else.
template <class Visitor> bool visitFocusedTextField(const Visitor& visit) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* lineEdit = qobject_cast<QLineEdit*>(focus))
        return visit(*lineEdit);
    if (auto* plainTextEdit = qobject_cast<QPlainTextEdit*>(focus))
        return visit(*plainTextEdit);
    if (auto* textEdit = qobject_cast<QTextEdit*>(focus))
        return visit(*textEdit);
    return false;
}

} // namespace

bool canPerformEditCommand(const std::string& itemName) {
    const auto command = commandNamed(itemName);
    return command &&
           visitFocusedTextField([&](const auto& edit) { return allows(*command, stateOf(edit)); });
}

void performEditCommand(const std::string& itemName) {
    const auto command = commandNamed(itemName);
    if (!command)
        return;
    visitFocusedTextField([&](auto& edit) {
        if (!allows(*command, stateOf(edit)))
            return false;
        perform(*command, edit);
        return true;
    });
}

} // namespace fw
