#include "program/started_program.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

class MenuBarTest : public test::StartedProgram {};

// One entry as the user sees it on opening the menu: "text\tshortcut" for an item, with " (off)" when it is
// disabled, and "-" for a separator.
QStringList entriesOf(QMenu& menu) {
    emit menu.aboutToShow();
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            entries << "-";
            continue;
        }
        entries << action->text() + "\t" + action->shortcut().toString(QKeySequence::NativeText) +
                       (action->isEnabled() ? "" : " (off)");
    }
    return entries;
}

// With no text field in the window, there is nothing for the edit items to act on.
TEST_F(MenuBarTest, WindowShowsFileThenEditWithTheirItemsShortcutsAndSeparatorsAndEditItemsDisabled) {
    const auto* bar = qobject_cast<QMenuBar*>(window()->widget()->menuWidget());
    QStringList menus;
    for (const QAction* action : bar->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit"}));
    EXPECT_EQ(entriesOf(*bar->actions().at(0)->menu()), QStringList{"&Quit\tCtrl+Q"});
    EXPECT_EQ(entriesOf(*bar->actions().at(1)->menu()),
              (QStringList{"&Undo\tCtrl+Z (off)", "-", "Cu&t\tCtrl+X (off)", "&Copy\tCtrl+C (off)",
                           "&Paste\tCtrl+V (off)", "&Delete\t (off)", "-", "Select &All\tCtrl+A (off)"}));
}

} // namespace
