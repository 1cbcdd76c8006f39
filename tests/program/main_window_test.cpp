#include "program/started_program.h"

#include "framework/class_record.h"
#include "framework/property_list.h"
#include "framework/rect_control.h"
#include "window/window1_property_lists.h"

#include <QMainWindow>

#include <algorithm>
#include <array>

namespace {

// Plain numbers, so that a failure shows them.
using Bounds = std::vector<std::array<int, 4>>;

class MainWindowTest : public test::StartedProgram {
protected:
    // Sizes the window so that its content area, below the menu bar, gets the given size.
    void resizeContentTo(int width, int height) const {
        window()->widget()->resize(width, height + window()->widget()->menuWidget()->height());
        QCoreApplication::processEvents();
    }

    // The add button, the list and the merge button, within the content area.
    Bounds layout() const {
        Bounds bounds;
        for (const char* name : {"PushButton1", "Listbox1", "PushButton2"}) {
            const fw::Rect rect = fw::Cast<fw::RectControl>(control(name))->bounds();
            bounds.push_back({rect.left, rect.top, rect.width, rect.height});
        }
        return bounds;
    }

    // Every entry of a design list, read back from the live object under the name the list spells it with.
    void expectLiveValues(const fw::Object& object, std::string_view list, std::size_t entryCount) const {
        std::vector<fw::PropertyEntry> entries;
        ASSERT_NO_THROW(entries = fw::DecodePropertyList(*object.classRecord(), list));
        EXPECT_EQ(entries.size(), entryCount);
        for (const fw::PropertyEntry& entry : entries) {
            const std::string_view name =
                list.substr(entry.offset, list.find(' ', entry.offset) - entry.offset);
            EXPECT_EQ(object.GetProperty(name), entry.value) << object.className() << "." << name;
        }
    }
};

// The list and the buttons take up the width; the list takes up the height and the merge button follows it.
TEST_F(MainWindowTest, WindowOpensAtItsDesignSizeAndControlsFollowItsResizes) {
    const QWidget& content = *window()->contentWidget();
    EXPECT_EQ(window()->widget()->windowTitle(), "Wrenfold");
    EXPECT_EQ(std::pair(content.minimumWidth(), content.minimumHeight()), std::pair(64, 64));
    EXPECT_EQ(std::pair(content.maximumWidth(), content.maximumHeight()), std::pair(32000, 32000));
    EXPECT_EQ(std::pair(content.width(), content.height()), std::pair(490, 403));
    EXPECT_EQ(layout(), (Bounds{{20, 14, 450, 20}, {20, 46, 450, 305}, {20, 363, 450, 20}}));
    resizeContentTo(590, 453);
    EXPECT_EQ(layout(), (Bounds{{20, 14, 550, 20}, {20, 46, 550, 355}, {20, 413, 550, 20}}));
    resizeContentTo(300, 300);
    EXPECT_EQ(layout(), (Bounds{{20, 14, 260, 20}, {20, 46, 260, 202}, {20, 260, 260, 20}}));
}

TEST_F(MainWindowTest, ListShowsThreeHeadingsOverTheHiddenPathAndTabVisitsTheControlsInOrder) {
    const std::array<std::string, 4> headings{"", "File name", "File size", "Patch number"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list()->Heading(column), headings[column]);
        EXPECT_EQ(listView()->isColumnHidden(column), column == 0) << column;
    }

    const std::vector<QWidget*> controls{control("PushButton1")->widget(), listView(),
                                         control("PushButton2")->widget()};
    std::vector<QWidget*> reached{controls[0]};
    for (QWidget* next = controls[0]->nextInFocusChain(); next != controls[0];
         next = next->nextInFocusChain())
        if (std::ranges::count(controls, next))
            reached.push_back(next);
    EXPECT_EQ(reached, controls);
}

TEST_F(MainWindowTest, LiveObjectsReportEveryDesignValue) {
    expectLiveValues(*window(), Window1PropertyLists::kWindow, 22);
    expectLiveValues(*control("PushButton1"), Window1PropertyLists::kPushButton1, 25);
    expectLiveValues(*list(), Window1PropertyLists::kListbox1, 44);
    expectLiveValues(*control("PushButton2"), Window1PropertyLists::kPushButton2, 25);
}

} // namespace
