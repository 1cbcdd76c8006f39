#include "framework/class_record.h"
#include "framework/menu_bar.h"
#include "framework/quit_menu_item.h"
#include "framework/runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

template <class T = fw::MenuItem>
fw::Ref<T> makeItem(const std::string& name, const std::string& text = "", const std::string& shortcut = "",
                    std::initializer_list<fw::Ref<fw::MenuItem>> children = {}) {
    auto item = fw::New<T>();
    item->Construct();
    item->Name(name);
    item->Text(text);
    item->KeyboardShortcut(shortcut);
    item->AutoEnable(true);
    for (const auto& child : children)
        item->Append(child);
    return item;
}

bool enabled(const std::string& name) {
    return makeItem(name)->enabledNow();
}
void choose(const std::string& name) {
    makeItem(name)->Action();
}

TEST(MenuItem, LookupSearchesDepthFirstWhileChildSeesOnlyDirectChildren) {
    auto deep = makeItem("Twin");
    auto bar = makeItem("Bar", "", "",
                        {makeItem("FileMenu", "", "", {makeItem("Recent", "", "", {deep})}),
                         makeItem("EditMenu", "", "", {makeItem("Twin")})});

    EXPECT_EQ(bar->Lookup("Twin"), deep);
    EXPECT_EQ(bar->Lookup("Missing"), nullptr);
    EXPECT_EQ(bar->Child("EditMenu"), bar->Item(1));
    EXPECT_EQ(bar->Child("Recent"), nullptr);
    EXPECT_EQ(bar->Item(bar->Count()), nullptr);
    EXPECT_THROW(bar->Append(nullptr), fw::NilObjectException);
}

// A window as a program builds it: a File menu that quits, an Edit menu with the standard items, and text
// fields for the edit items to act on.
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto file =
            makeItem("FileMenu", "&File", "", {makeItem<fw::QuitMenuItem>("FileQuit", "&Quit", "Cmd+Q")});
        auto find =
            makeItem("EditFind", "&Find", "", {makeItem("EditFindNext", "Find &Next", "Cmd+Shift+G")});
        auto edit = makeItem("EditMenu", "&Edit", "",
                             {makeItem("EditUndo", "&Undo", "Cmd+Z"), makeItem("EditSeparator", "-"),
                              makeItem("EditCopy", "&Copy", "Cmd+C"), makeItem("EditClear", "Clear"), find});
        m_window.setMenuBar(
            makeItem<fw::MenuBar>("MainMenuBar", "", "", {file, edit})->createWidget(&m_window));
        auto* layout = new QVBoxLayout(new QWidget);
        for (QWidget* widget : std::initializer_list<QWidget*>{m_source, m_target, m_editor, m_button})
            layout->addWidget(widget);
        m_window.setCentralWidget(layout->parentWidget());
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QMenu* menu(int index) const { return m_window.menuBar()->actions().at(index)->menu(); }
    QAction* action(int menuIndex, int index) const { return menu(menuIndex)->actions().at(index); }
    static void focus(QWidget* widget) {
        widget->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }

    QMainWindow m_window;
    QLineEdit* m_source = new QLineEdit("hello world");
    QLineEdit* m_target = new QLineEdit;
    QPlainTextEdit* m_editor = new QPlainTextEdit("first\nsecond");
    QPushButton* m_button = new QPushButton("OK");
};

TEST_F(MenuTest, BarShowsTheTreeAsMenusActionsAndShortcuts) {
    ASSERT_EQ(m_window.menuBar()->actions().size(), 2);
    EXPECT_EQ(menu(0)->title(), "&File");
    EXPECT_EQ(menu(1)->title(), "&Edit");
    EXPECT_EQ(action(0, 0)->text(), "&Quit");
    EXPECT_EQ(action(0, 0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    ASSERT_EQ(menu(1)->actions().size(), 5);
    EXPECT_EQ(action(1, 0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(action(1, 1)->isSeparator());
    EXPECT_EQ(action(1, 3)->text(), "Clear");
    EXPECT_TRUE(action(1, 3)->shortcut().isEmpty());
    ASSERT_NE(action(1, 4)->menu(), nullptr);
    EXPECT_EQ(action(1, 4)->menu()->actions().at(0)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
}

TEST_F(MenuTest, TriggeringQuitQuits) {
    action(0, 0)->trigger();
    EXPECT_TRUE(fw::RuntimeQuitting());
}

TEST_F(MenuTest, OnlyAutoEnabledItemsDependOnAFocusedTextField) {
    m_source->setSelection(0, 5);
    focus(m_button);
    for (const char* name : {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"})
        EXPECT_FALSE(enabled(name)) << name;

    auto manual = makeItem("FileOpen");
    manual->AutoEnable(false);
    EXPECT_TRUE(manual->enabledNow());
    EXPECT_TRUE(makeItem("EditMenu", "", "", {makeItem("EditUndo")})->enabledNow());
    focus(m_source);
    EXPECT_FALSE(enabled("FileOpen"));
}

TEST_F(MenuTest, EditItemsActOnTheFocusedTextField) {
    focus(m_source);
    m_source->setSelection(0, 5);
    m_source->setReadOnly(true);
    EXPECT_FALSE(enabled("EditCut"));
    EXPECT_FALSE(enabled("EditClear"));
    choose("EditCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");

    focus(m_target);
    EXPECT_FALSE(enabled("EditSelectAll"));
    choose("EditPaste");
    EXPECT_EQ(m_target->text(), "hello");
    choose("EditUndo");
    EXPECT_EQ(m_target->text(), "");

    focus(m_editor);
    choose("EditSelectAll");
    choose("EditClear");
    EXPECT_TRUE(m_editor->document()->isEmpty());
}

TEST_F(MenuTest, EditActionsRefreshWhenTheMenuOpensAndWhenTheFocusMoves) {
    QAction* copy = action(1, 2);
    focus(m_source);
    m_source->setSelection(0, 5);
    EXPECT_FALSE(copy->isEnabled());
    emit menu(1)->aboutToShow();
    EXPECT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");

    focus(m_button);
    EXPECT_FALSE(copy->isEnabled());
}

} // namespace
