#include "program/started_program.h"

#include "app/menu_bar1.h"
#include "framework/quit_menu_item.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

struct ItemAsBuilt {
    std::string name;
    std::string text;
    std::string shortcut;
};

struct MenuAsBuilt {
    ItemAsBuilt title;
    std::vector<ItemAsBuilt> items;
};

// What the user sees on the bar, in order.
const std::vector<MenuAsBuilt> kMenus{{{"FileMenu", "&File", ""}, {{"FileQuit", "&Quit", "Cmd+Q"}}},
                                      {{"EditMenu", "&Edit", ""},
                                       {{"EditUndo", "&Undo", "Cmd+Z"},
                                        {"UntitledMenu1", "-", ""},
                                        {"EditCut", "Cu&t", "Cmd+X"},
                                        {"EditCopy", "&Copy", "Cmd+C"},
                                        {"EditPaste", "&Paste", "Cmd+V"},
                                        {"EditClear", "&Delete", ""},
                                        {"UntitledMenu0", "-", ""},
                                        {"EditSelectAll", "Select &All", "Cmd+A"}}}};

void expectItem(const fw::MenuItem& item, const ItemAsBuilt& expected) {
    EXPECT_EQ(item.Name(), expected.name);
    EXPECT_EQ(item.Text(), expected.text) << expected.name;
    EXPECT_EQ(item.KeyboardShortcut(), expected.shortcut) << expected.name;
    EXPECT_TRUE(item.AutoEnable()) << expected.name;
}

// A Qt entry as text and shortcut; Qt spells the command modifier "Ctrl" on every platform.
using Shown = std::pair<QString, QString>;
Shown shown(const QAction& action) {
    return {action.isSeparator() ? "-" : action.text(),
            action.shortcut().toString(QKeySequence::PortableText)};
}
Shown shown(const ItemAsBuilt& item) {
    return {QString::fromStdString(item.text),
            QString::fromStdString(item.shortcut).replace("Cmd+", "Ctrl+")};
}

class MenuBarTest : public test::StartedProgram {};

TEST_F(MenuBarTest, BarHoldsFileThenEditWithEveryItemAsBuilt) {
    const fw::Ref<MenuBar1> bar = MenuBar1::Instance();
    ASSERT_EQ(bar->Count(), 2);
    for (int menu = 0; menu < 2; ++menu) {
        expectItem(*bar->Item(menu), kMenus[menu].title);
        ASSERT_EQ(bar->Item(menu)->Count(), static_cast<int>(kMenus[menu].items.size()));
        for (int index = 0; index < bar->Item(menu)->Count(); ++index)
            expectItem(*bar->Item(menu)->Item(index), kMenus[menu].items[index]);
    }
    EXPECT_TRUE(dynamic_cast<fw::QuitMenuItem*>(bar->Item(0)->Item(0).get()));
}

TEST_F(MenuBarTest, WindowSharesTheBarAndEachAccessorYieldsItsOwnItem) {
    EXPECT_EQ(window()->MenuBar().get(), MenuBar1::Instance().get());
    const std::vector<std::pair<std::string, fw::Ref<fw::MenuItem> (Window1::*)()>> accessors{
        {"EditMenu", &Window1::EditMenu},
        {"EditSelectAll", &Window1::EditSelectAll},
        {"UntitledMenu0", &Window1::UntitledMenu0},
        {"EditClear", &Window1::EditClear},
        {"EditPaste", &Window1::EditPaste},
        {"EditCopy", &Window1::EditCopy},
        {"EditCut", &Window1::EditCut},
        {"UntitledMenu1", &Window1::UntitledMenu1},
        {"EditUndo", &Window1::EditUndo},
        {"FileMenu", &Window1::FileMenu}};
    Window1& mainWindow = *window();
    for (const auto& [name, accessor] : accessors) {
        const fw::Ref<fw::MenuItem> item = (mainWindow.*accessor)();
        ASSERT_TRUE(item) << name;
        EXPECT_EQ(item->Name(), name);
        EXPECT_EQ((mainWindow.*accessor)().get(), item.get()) << name;
    }
    ASSERT_TRUE(mainWindow.FileQuit());
    EXPECT_EQ(mainWindow.FileQuit().get(), mainWindow.FileQuit().get());
}

TEST_F(MenuBarTest, QtMenuBarShowsTheTextsAndShortcuts) {
    const auto* bar = qobject_cast<QMenuBar*>(window()->widget()->menuWidget());
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->actions().size(), 2);
    for (int menu = 0; menu < 2; ++menu) {
        const QAction& title = *bar->actions()[menu];
        EXPECT_EQ(title.text().toStdString(), kMenus[menu].title.text);
        std::vector<Shown> entries;
        for (const QAction* action : title.menu()->actions())
            entries.push_back(shown(*action));
        std::vector<Shown> expected;
        for (const ItemAsBuilt& item : kMenus[menu].items)
            expected.push_back(shown(item));
        EXPECT_EQ(entries, expected);
    }
}

} // namespace
