#include "program/started_program.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

class MenuBarTest : public test::StartedProgram {};

// Each menu's title, then its entries as the user sees them on opening it: "text\tshortcut" for an item,
// with " (off)" when it is disabled, and "-" for a separator.
QStringList entriesOf(const QMenuBar& bar) {
    QStringList entries;
    for (const QAction* title : bar.actions()) {
        entries << title->text();
        emit title->menu()->aboutToShow();
        for (const QAction* action : title->menu()->actions())
            entries << (action->isSeparator()
                            ? "-"
                            : action->text() + "\t" + action->shortcut().toString(QKeySequence::NativeText) +
                                  (action->isEnabled() ? "" : " (off)"));
    }
    return entries;
}

TEST_F(MenuBarTest, WindowShowsFileThenEditWithTheirItemsShortcutsAndSeparatorsAndEditItemsDisabled) {
    EXPECT_EQ(entriesOf(*qobject_cast<QMenuBar*>(window()->widget()->menuWidget())),
              (QStringList{"&File", "&Quit\tCtrl+Q", "&Edit", "&Undo\tCtrl+Z (off)", "-",
                           "Cu&t\tCtrl+X (off)", "&Copy\tCtrl+C (off)", "&Paste\tCtrl+V (off)",
                           "&Delete\t (off)", "-", "Select &All\tCtrl+A (off)"}));
}

} // namespace
