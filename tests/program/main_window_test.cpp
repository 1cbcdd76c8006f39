#include "program/started_program.h"

#include "framework/rect_control.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QPushButton>

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

    // The add button, the list and the merge button, within the content area, as their widgets stand.
    Bounds layout() const {
        Bounds bounds;
        for (const char* name : {"PushButton1", "Listbox1", "PushButton2"}) {
            const QRect rect = control(name)->widget()->geometry();
            bounds.push_back({rect.x(), rect.y(), rect.width(), rect.height()});
        }
        return bounds;
    }

    QString caption(const std::string& name) const {
        return qobject_cast<QPushButton*>(control(name)->widget())->text();
    }
};

// The list and the buttons take up the width; the list takes up the height and the merge button follows it.
TEST_F(MainWindowTest, WindowOpensAtItsDesignSizeAndControlsFollowItsResizes) {
    const QWidget& content = *window()->contentWidget();
    EXPECT_EQ(window()->widget()->windowTitle(), "Wrenfold");
    EXPECT_EQ(caption("PushButton1"), "Add Prophet 600 Patch File (.syx)");
    EXPECT_EQ(caption("PushButton2"), "Merge Patches Into One File");
    EXPECT_EQ(std::pair(content.minimumWidth(), content.minimumHeight()), std::pair(64, 64));
    EXPECT_EQ(std::pair(content.maximumWidth(), content.maximumHeight()), std::pair(32000, 32000));
    EXPECT_EQ(std::pair(content.width(), content.height()), std::pair(490, 403));
    EXPECT_EQ(layout(), (Bounds{{20, 14, 450, 20}, {20, 46, 450, 305}, {20, 363, 450, 20}}));
    resizeContentTo(590, 453);
    EXPECT_EQ(layout(), (Bounds{{20, 14, 550, 20}, {20, 46, 550, 355}, {20, 413, 550, 20}}));
    resizeContentTo(300, 300);
    EXPECT_EQ(layout(), (Bounds{{20, 14, 260, 20}, {20, 46, 260, 202}, {20, 260, 260, 20}}));
}

// The path column has no width; the other three share the list's inner width by half, quarter, quarter, at
// any size of the window.
TEST_F(MainWindowTest, ListShowsItsHeadingRowOverColumnsOfNoneHalfQuarterAndQuarterOfItsWidth) {
    const QHeaderView* header = listView()->header();
    ASSERT_TRUE(header->isVisible());
    const std::array<QString, 4> headings{"", "File name", "File size", "Patch number"};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(header->model()->headerData(column, Qt::Horizontal).toString(), headings[column]) << column;

    for (const QSize size : {QSize(490, 403), QSize(777, 500)}) {
        resizeContentTo(size.width(), size.height());
        const int inner = listView()->viewport()->width();
        ASSERT_GT(inner, 400) << size.width();
        const std::array<int, 4> expected{0, inner / 2, inner / 4, inner / 4};
        for (int column = 0; column < 4; ++column) {
            const int shown = listView()->isColumnHidden(column) ? 0 : header->sectionSize(column);
            EXPECT_NEAR(shown, expected[column], 1) << "column " << column << " at width " << size.width();
        }
    }
}

TEST_F(MainWindowTest, TabVisitsTheAddButtonTheListAndTheMergeButtonInTurn) {
    const std::vector<QWidget*> controls{control("PushButton1")->widget(), listView(),
                                         control("PushButton2")->widget()};
    std::vector<QWidget*> reached{controls[0]};
    for (QWidget* next = controls[0]->nextInFocusChain(); next != controls[0];
         next = next->nextInFocusChain())
        if (std::ranges::count(controls, next))
            reached.push_back(next);
    EXPECT_EQ(reached, controls);
}

} // namespace
