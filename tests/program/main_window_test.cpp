#include "program/started_program.h"

#include "framework/class_record.h"
#include "framework/property_list.h"
#include "framework/push_button.h"
#include "window/window1_property_lists.h"

#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <array>

namespace {

// Plain numbers, so that a failure shows them.
using Size = std::pair<int, int>;
using Bounds = std::vector<std::array<int, 4>>;

class MainWindowTest : public test::StartedProgram {
protected:
    void SetUp() override {
        test::StartedProgram::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()->widget()));
    }

    static Size sizeOf(QSize size) { return {size.width(), size.height()}; }
    Size contentSize() const { return sizeOf(window()->contentWidget()->size()); }

    // Sizes the window so that its content area, below the menu bar, gets the given size.
    void resizeContentTo(Size size) const {
        window()->widget()->resize(size.first, size.second + window()->widget()->menuWidget()->height());
        QCoreApplication::processEvents();
    }

    Bounds controlBounds() const {
        Bounds bounds;
        for (const char* name : {"PushButton1", "Listbox1", "PushButton2"}) {
            const fw::Rect rect =
                fw::Cast<fw::RectControl>(fw::RuntimeWindowControlByName(*window(), name))->bounds();
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

TEST_F(MainWindowTest, WindowOpensAtItsDesignSizeWithControlsInPlace) {
    EXPECT_EQ(contentSize(), Size(490, 403));
    EXPECT_EQ(window()->widget()->windowTitle(), "Wrenfold");
    EXPECT_EQ(sizeOf(window()->contentWidget()->minimumSize()), Size(64, 64));
    EXPECT_EQ(sizeOf(window()->contentWidget()->maximumSize()), Size(32000, 32000));
    EXPECT_EQ(controlBounds(), (Bounds{{20, 14, 450, 20}, {20, 46, 450, 305}, {20, 363, 450, 20}}));
}

TEST_F(MainWindowTest, ControlsFollowTheContentAreaByTheirLocks) {
    resizeContentTo({590, 453});
    ASSERT_EQ(contentSize(), Size(590, 453));
    EXPECT_EQ(controlBounds(), (Bounds{{20, 14, 550, 20}, {20, 46, 550, 355}, {20, 413, 550, 20}}));

    resizeContentTo({300, 300});
    ASSERT_EQ(contentSize(), Size(300, 300));
    EXPECT_EQ(controlBounds(), (Bounds{{20, 14, 260, 20}, {20, 46, 260, 202}, {20, 260, 260, 20}}));
}

TEST_F(MainWindowTest, ListShowsThreeHeadingsAndHidesThePathColumn) {
    EXPECT_EQ(list()->Heading(0), "");
    EXPECT_EQ(list()->Heading(1), "File name");
    EXPECT_EQ(list()->Heading(2), "File size");
    EXPECT_EQ(list()->Heading(3), "Patch number");
    EXPECT_TRUE(listView()->isColumnHidden(0));
    EXPECT_FALSE(listView()->isColumnHidden(1));
    EXPECT_FALSE(listView()->isColumnHidden(3));
}

TEST_F(MainWindowTest, TabGoesFromAddButtonToListToMergeButton) {
    const std::vector<QWidget*> controls{button("PushButton1"), listView(), button("PushButton2")};
    std::vector<QWidget*> reached{controls[0]};
    for (QWidget* next = controls[0]->nextInFocusChain(); next != controls[0];
         next = next->nextInFocusChain()) {
        if (std::find(controls.begin(), controls.end(), next) != controls.end())
            reached.push_back(next);
    }
    EXPECT_EQ(reached, controls);
}

TEST_F(MainWindowTest, LiveObjectsReportEveryDesignValue) {
    expectLiveValues(*window(), Window1PropertyLists::kWindow, 22);
    expectLiveValues(*fw::RuntimeWindowControlByName(*window(), "PushButton1"),
                     Window1PropertyLists::kPushButton1, 25);
    expectLiveValues(*list(), Window1PropertyLists::kListbox1, 44);
    expectLiveValues(*fw::RuntimeWindowControlByName(*window(), "PushButton2"),
                     Window1PropertyLists::kPushButton2, 25);
}

} // namespace
