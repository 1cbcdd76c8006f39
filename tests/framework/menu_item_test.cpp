#include "framework/class_record.h"
#include "framework/menu_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

template <class T = fw::MenuItem>
fw::Ref<T> makeItem(const std::string& name, std::initializer_list<fw::Ref<fw::MenuItem>> children = {}) {
    auto item = fw::New<T>();
    item->Name(name);
    item->Text(name);
    item->AutoEnable(true);
    for (const auto& child : children)
        item->Append(child);
    return item;
}

void focus(QWidget* widget) {
    widget->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), widget);
}

// The bar's actions must follow the focus and the menu's opening, since a disabled action's shortcut does
// nothing.
TEST(MenuItem, EditItemsActOnTheFocusedTextFieldOnlyAndTheBarKeepsUpWithIt) {
    auto enabled = [](const char* name) { return makeItem(name)->enabledNow(); };
    auto choose = [](const char* name) { makeItem(name)->action(); };
    QMainWindow window;
    auto copyItem = makeItem("EditCopy");
    copyItem->KeyboardShortcut("Cmd+Shift+C");
    auto bar = makeItem<fw::MenuBar>("MainMenuBar", {makeItem("EditMenu", {copyItem, makeItem("-")})});
    window.setMenuBar(bar->createWidget(&window));
    auto* source = new QLineEdit("hello world");
    auto* target = new QLineEdit;
    auto* button = new QPushButton("OK");
    auto* layout = new QVBoxLayout(new QWidget);
    for (QWidget* widget : std::initializer_list<QWidget*>{source, target, button})
        layout->addWidget(widget);
    window.setCentralWidget(layout->parentWidget());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QMenu* menu = window.menuBar()->actions().at(0)->menu();
    QAction* copy = menu->actions().at(0);
    EXPECT_EQ(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    EXPECT_TRUE(menu->actions().at(1)->isSeparator());

    source->setSelection(0, 5);
    focus(button);
    for (const char* name : {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"})
        EXPECT_FALSE(enabled(name)) << name;

    focus(source);
    source->setSelection(0, 5);
    source->setReadOnly(true);
    EXPECT_FALSE(enabled("EditCut"));
    EXPECT_FALSE(enabled("EditClear"));
    EXPECT_FALSE(copy->isEnabled());
    emit menu->aboutToShow();
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");

    focus(target);
    EXPECT_FALSE(copy->isEnabled());
    choose("EditPaste");
    EXPECT_EQ(target->text(), "hello");
    choose("EditSelectAll");
    choose("EditClear");
    EXPECT_EQ(target->text(), "");
}

} // namespace
