#include "framework/class_record.h"
#include "framework/menu_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

fw::Ref<fw::MenuItem> makeItem(const std::string& name) {
    auto item = fw::New<fw::MenuItem>();
    item->Name(name);
    item->Text(name);
    item->AutoEnable(true);
    return item;
}

// The bar's actions must follow the focus and the menu's opening, since a disabled action's shortcut does
// nothing.
TEST(MenuItem, EditItemsActOnTheFocusedTextFieldOnlyAndTheBarKeepsUpWithIt) {
    auto enabled = [](const char* name) { return makeItem(name)->enabledNow(); };
    auto choose = [](const char* name) { makeItem(name)->action(); };
    QMainWindow window;
    auto edit = makeItem("EditMenu");
    edit->Append(makeItem("EditCopy"));
    auto bar = fw::New<fw::MenuBar>();
    bar->Append(edit);
    window.setMenuBar(bar->createWidget(&window));
    auto* layout = new QVBoxLayout(new QWidget);
    auto* source = new QLineEdit("hello world");
    auto* target = new QLineEdit;
    layout->addWidget(source);
    layout->addWidget(target);
    window.setCentralWidget(layout->parentWidget());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QMenu* menu = window.menuBar()->actions().at(0)->menu();
    QAction* copy = menu->actions().at(0);

    source->setFocus();
    source->setSelection(0, 5);
    source->setReadOnly(true);
    EXPECT_FALSE(enabled("EditCut"));
    EXPECT_FALSE(enabled("EditClear"));
    EXPECT_FALSE(copy->isEnabled());
    emit menu->aboutToShow();
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");

    target->setFocus();
    EXPECT_FALSE(copy->isEnabled());
    choose("EditPaste");
    EXPECT_EQ(target->text(), "hello");
    choose("EditSelectAll");
    choose("EditClear");
    EXPECT_EQ(target->text(), "");
}

} // namespace
