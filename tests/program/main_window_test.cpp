#include "program/started_program.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QPushButton>

#include <algorithm>

namespace {

using Bounds = std::vector<std::array<int, 4>>;

class MainWindowTest : public test::StartedProgram {
protected:
    // Sizes the window as a user would, asking for the given content area below the menu bar; the bounds of
    // the add button, the list and the merge button.
    Bounds layoutAt(int width, int height) const {
        window()->widget()->resize(width, height + window()->widget()->menuWidget()->height());
        QCoreApplication::processEvents();
        Bounds bounds;
        for (const char* name : {"PushButton1", "Listbox1", "PushButton2"}) {
            const QRect rect = control(name)->widget()->geometry();
            bounds.push_back({rect.x(), rect.y(), rect.width(), rect.height()});
        }
        return bounds;
    }
};

// The list and the buttons take up the width; the list takes up the height and the merge button follows it.
// Below the minimum size the window stops shrinking, and a list squeezed to nothing gets its margins back.
// The path column has no width; the other three share the list's inner width by half, quarter, quarter.
TEST_F(MainWindowTest, WindowOpensAsDesignedInTabOrderAndControlsAndColumnsFollowItsResizesWithoutDrift) {
    const QWidget& content = *window()->contentWidget();
    QStringList headings;
    EXPECT_EQ(window()->widget()->windowTitle(), "Wrenfold");
    for (const auto& [name, caption] : {std::pair{"PushButton1", "Add Prophet 600 Patch File (.syx)"},
                                        {"PushButton2", "Merge Patches Into One File"}})
        EXPECT_EQ(qobject_cast<QPushButton*>(control(name)->widget())->text(), caption);
    EXPECT_EQ(content.size(), QSize(490, 403));
    EXPECT_EQ(content.maximumSize(), QSize(32000, 32000));
    const Bounds designed{{20, 14, 450, 20}, {20, 46, 450, 305}, {20, 363, 450, 20}};
    EXPECT_EQ(layoutAt(490, 403), designed);
    EXPECT_EQ(layoutAt(590, 453), (Bounds{{20, 14, 550, 20}, {20, 46, 550, 355}, {20, 413, 550, 20}}));
    std::vector<int> shares; // of the list's inner width, in hundredths
    for (int column = 0; column < 4; ++column) {
        const int width = listView()->isColumnHidden(column) ? 0 : listView()->header()->sectionSize(column);
        shares.push_back((width * 100 + listView()->viewport()->width() / 2) /
                         listView()->viewport()->width());
        headings << listView()->model()->headerData(column, Qt::Horizontal).toString();
    }
    EXPECT_EQ(shares, (std::vector<int>{0, 50, 25, 25}));
    EXPECT_EQ(layoutAt(10, 10), (Bounds{{20, 14, 24, 20}, {20, 46, 24, 0}, {20, 24, 24, 20}}));
    EXPECT_EQ(content.size(), QSize(64, 64));
    EXPECT_EQ(layoutAt(490, 403), designed);
    EXPECT_EQ(headings, (QStringList{"", "File name", "File size", "Patch number"}));
    EXPECT_TRUE(listView()->header()->isVisible());

    // Tab visits the add button, the list and the merge button in turn.
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
