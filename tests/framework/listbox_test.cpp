#include "framework/class_record.h"
#include "framework/listbox.h"
#include "framework/runtime.h"
#include "framework/window.h"

#include <QApplication>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// A plain window holding one list, shown, so the list's viewport has its real width.
class ListboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = fw::Cast<fw::Window>(fw::RuntimeNewObject(fw::Window::Record()));
        window->SetProperty("Width", 500);
        window->SetProperty("Height", 300);
        window->SetProperty("Visible", true);
        fw::Ref<fw::Object> object = window->New(fw::Listbox::Record());
        list = fw::Cast<fw::Listbox>(object);
        list->Construct();
        window->AddControl(object, "List");
        list->SetProperty("Width", 300);
        list->SetProperty("Height", 200);
        window->Construct();
        QApplication::processEvents();
    }
    void TearDown() override { fw::RuntimeReleaseWindowLists(); }

    QTreeView& view() const { return *qobject_cast<QTreeView*>(list->widget()); }

    fw::Ref<fw::Window> window;
    fw::Ref<fw::Listbox> list;
};

TEST_F(ListboxTest, KeepsRowsCellsAndHeadingsByteForByte) {
    const std::string notUtf8("caf\xe9 \xff\xfe\0x", 9);
    list->SetProperty("ColumnCount", 2);
    EXPECT_EQ(list->LastIndex(), -1);

    list->AddRow("first");
    list->AddRow(notUtf8);
    list->Cell(1, 1, notUtf8 + "!");
    list->SetProperty("ColumnCount", 3);
    list->Heading(1, notUtf8);

    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_EQ(list->LastIndex(), 1);
    EXPECT_EQ(list->List(0), "first");
    EXPECT_EQ(list->List(1), notUtf8);
    EXPECT_EQ(list->Cell(1, 1), notUtf8 + "!") << "a new column count keeps the rows";
    EXPECT_EQ(list->Cell(0, 2), "");
    EXPECT_EQ(list->Heading(1), notUtf8);
}

TEST_F(ListboxTest, OutOfRangeRowOrColumnRaises) {
    list->SetProperty("ColumnCount", 2);
    list->AddRow("only");
    EXPECT_THROW(list->List(1), fw::OutOfBoundsException);
    EXPECT_THROW(list->List(-1), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(0, 2), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(0, -1), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(1, 0, "x"), fw::OutOfBoundsException);
    EXPECT_THROW(list->Heading(2), fw::OutOfBoundsException);
    EXPECT_THROW(list->Heading(-1, "x"), fw::OutOfBoundsException);
    EXPECT_EQ(list->ListCount(), 1);
}

TEST_F(ListboxTest, PercentageColumnsShareTheViewportAndFollowResizes) {
    list->SetProperty("ColumnCount", 4);
    list->SetProperty("ColumnWidths", std::string("0,50%,25%,25%"));
    // Enough rows for a vertical scroll bar, so the viewport is clearly narrower than the list.
    for (int row = 0; row < 40; ++row)
        list->AddRow("row");

    for (int listWidth : {300, 420, 260}) {
        SCOPED_TRACE(listWidth);
        list->SetProperty("Width", listWidth);
        QApplication::processEvents();
        const int inner = view().viewport()->width();
        ASSERT_GT(inner, 100);
        EXPECT_TRUE(view().isColumnHidden(0));
        EXPECT_NEAR(view().columnWidth(1), inner / 2, 1);
        EXPECT_NEAR(view().columnWidth(2), inner / 4, 1);
        EXPECT_NEAR(view().columnWidth(3), inner / 4, 1);
    }
}

} // namespace
