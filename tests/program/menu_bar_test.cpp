#include "program/started_program.h"

#include "app/menu_bar1.h"
#include "framework/quit_menu_item.h"

#include <functional>

namespace {

struct ItemAsBuilt {
    std::string name, text, shortcut;
    std::function<fw::Ref<fw::MenuItem>(Window1&)> accessor; // the window's own way to the item
};

// What the user sees on the bar, in order: each menu's title, then its items.
const std::vector<std::pair<ItemAsBuilt, std::vector<ItemAsBuilt>>> kMenus{
    {{"FileMenu", "&File", "", &Window1::FileMenu}, {{"FileQuit", "&Quit", "Cmd+Q", &Window1::FileQuit}}},
    {{"EditMenu", "&Edit", "", &Window1::EditMenu},
     {{"EditUndo", "&Undo", "Cmd+Z", &Window1::EditUndo},
      {"UntitledMenu1", "-", "", &Window1::UntitledMenu1},
      {"EditCut", "Cu&t", "Cmd+X", &Window1::EditCut},
      {"EditCopy", "&Copy", "Cmd+C", &Window1::EditCopy},
      {"EditPaste", "&Paste", "Cmd+V", &Window1::EditPaste},
      {"EditClear", "&Delete", "", &Window1::EditClear},
      {"UntitledMenu0", "-", "", &Window1::UntitledMenu0},
      {"EditSelectAll", "Select &All", "Cmd+A", &Window1::EditSelectAll}}}};

class MenuBarTest : public test::StartedProgram {
protected:
    void expectItem(const fw::Ref<fw::MenuItem>& item, const ItemAsBuilt& expected) const {
        ASSERT_TRUE(item) << expected.name;
        EXPECT_EQ(item->Name(), expected.name);
        EXPECT_EQ(item->Text(), expected.text) << expected.name;
        EXPECT_EQ(item->KeyboardShortcut(), expected.shortcut) << expected.name;
        EXPECT_TRUE(item->AutoEnable()) << expected.name;
        EXPECT_EQ(expected.accessor(*window()).get(), item.get()) << expected.name;
    }
};

TEST_F(MenuBarTest, WindowBarHoldsFileThenEditWithEveryItemAsBuiltAndReachableByName) {
    const fw::Ref<MenuBar1> bar = MenuBar1::Instance();
    EXPECT_EQ(window()->MenuBar().get(), bar.get());
    ASSERT_EQ(bar->Count(), 2);
    for (int menu = 0; menu < 2; ++menu) {
        const auto& [title, items] = kMenus[menu];
        expectItem(bar->Item(menu), title);
        ASSERT_EQ(bar->Item(menu)->Count(), static_cast<int>(items.size()));
        for (int index = 0; index < bar->Item(menu)->Count(); ++index)
            expectItem(bar->Item(menu)->Item(index), items[index]);
    }
    EXPECT_TRUE(dynamic_cast<fw::QuitMenuItem*>(bar->Item(0)->Item(0).get()));
}

} // namespace
