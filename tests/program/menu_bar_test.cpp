#include "program/started_program.h"

#include "app/menu_bar1.h"
#include "framework/quit_menu_item.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// One entry as the user sees it: "title" for a menu on the bar, "text\tshortcut" for an item, "-" for a
// separator.
QStringList entriesOf(const QWidget& menu) {
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            entries << "-";
        else if (action->menu())
            entries << action->text();
        else
            entries << action->text() + "\t" + action->shortcut().toString(QKeySequence::NativeText);
    }
    return entries;
}

class MenuBarTest : public test::StartedProgram {
protected:
    const QMenuBar& shownBar() const { return *qobject_cast<QMenuBar*>(window()->widget()->menuWidget()); }
    const QMenu& shownMenu(int index) const { return *shownBar().actions().at(index)->menu(); }
};

TEST_F(MenuBarTest, WindowShowsFileThenEditWithTheirItemsShortcutsAndSeparatorsInOrder) {
    EXPECT_EQ(entriesOf(shownBar()), (QStringList{"&File", "&Edit"}));
    EXPECT_EQ(entriesOf(shownMenu(0)), QStringList{"&Quit\tCtrl+Q"});
    EXPECT_EQ(entriesOf(shownMenu(1)),
              (QStringList{"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V",
                           "&Delete\t", "-", "Select &All\tCtrl+A"}));
}

// The application and the window share one bar, and the window finds each item by its name.
TEST_F(MenuBarTest, WindowReachesEveryItemOfTheSharedBarByName) {
    const fw::Ref<MenuBar1> bar = MenuBar1::Instance();
    EXPECT_EQ(window()->MenuBar().get(), bar.get());
    const std::vector<std::pair<fw::Ref<fw::MenuItem>, std::string>> reached{
        {window()->FileMenu(), "&File"},           {window()->FileQuit(), "&Quit"},
        {window()->EditMenu(), "&Edit"},           {window()->EditUndo(), "&Undo"},
        {window()->UntitledMenu1(), "-"},          {window()->EditCut(), "Cu&t"},
        {window()->EditCopy(), "&Copy"},           {window()->EditPaste(), "&Paste"},
        {window()->EditClear(), "&Delete"},        {window()->UntitledMenu0(), "-"},
        {window()->EditSelectAll(), "Select &All"}};
    for (const auto& [item, text] : reached) {
        ASSERT_TRUE(item) << text;
        EXPECT_EQ(item->Text(), text);
        EXPECT_TRUE(item->AutoEnable()) << text;
    }
    EXPECT_EQ(window()->UntitledMenu1().get(), bar->item(1)->item(1).get());
    EXPECT_EQ(window()->UntitledMenu0().get(), bar->item(1)->item(6).get());
    EXPECT_TRUE(dynamic_cast<fw::QuitMenuItem*>(window()->FileQuit().get()));
}

} // namespace
