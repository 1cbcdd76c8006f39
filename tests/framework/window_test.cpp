#include "framework/class_record.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"
#include "framework/listbox.h"
#include "framework/push_button.h"
#include "framework/runtime.h"
#include "framework/unhandled_exception.h"
#include "framework/window.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// A window of 300 by 200 that shows once its controls are in, as a program's window is built.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        window->setProperty("Width", 300);
        window->setProperty("Height", 200);
        window->setProperty("Visible", true);
    }

    // Locks are given as letters: "LTRB" locks all four sides.
    template <class T = fw::PushButton>
    fw::Ref<T> add(const std::string& name, fw::Rect place, std::string_view locks = "", int tabIndex = 0) {
        fw::Ref<fw::Object> object = window->New(T::Record());
        auto control = fw::Cast<T>(object);
        control->Construct();
        window->AddControl(object, name);
        for (auto [property, letter] :
             {std::pair{"LockLeft", 'L'}, {"LockTop", 'T'}, {"LockRight", 'R'}, {"LockBottom", 'B'}})
            control->setProperty(property, locks.find(letter) != std::string_view::npos);
        control->setProperty("Left", place.left);
        control->setProperty("Top", place.top);
        control->setProperty("Width", place.width);
        control->setProperty("Height", place.height);
        control->setProperty("TabIndex", tabIndex);
        return control;
    }
    void show() {
        window->Construct();
        QApplication::processEvents();
    }
    // Resizes the Qt window as a user would, and lets the content area follow.
    void resizeContent(int width, int height) {
        window->widget()->resize(width, height);
        QApplication::processEvents();
        ASSERT_EQ(window->contentWidget()->size(), QSize(width, height));
    }

    fw::Runtime runtime;
    fw::Ref<fw::Window> window = fw::New<fw::Window>();
};

TEST_F(WindowTest, TabOrderFollowsTabIndexRatherThanCreationOrder) {
    auto a = add("A", {0, 0, 10, 10}, "", 2);
    auto b = add("B", {0, 20, 10, 10}, "", 1);
    auto c = add("C", {0, 40, 10, 10}, "", 0);
    show();
    EXPECT_EQ(c->widget()->nextInFocusChain(), b->widget());
    EXPECT_EQ(b->widget()->nextInFocusChain(), a->widget());
}

TEST_F(WindowTest, AnchoringClampsSizesAtZeroNeverDriftsAndTakesANewPlaceAsOfTheCurrentContentArea) {
    auto stretch = add("Stretch", {10, 20, 100, 50}, "LTRB");
    auto far = add("Far", {180, 120, 60, 30}, "RB");
    show();
    resizeContent(150, 100);
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 0, 0}));
    EXPECT_EQ(far->bounds(), (fw::Rect{30, 20, 60, 30}));
    for (int round = 0; round < 3; ++round) {
        resizeContent(170 + round * 7, 90 + round * 13);
        resizeContent(360, 240);
    }
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 160, 90}));
    EXPECT_EQ(far->bounds(), (fw::Rect{240, 160, 60, 30}));

    stretch->setProperty("Width", 120);
    far->setProperty("Left", 200);
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 120, 90}));
    resizeContent(300, 200);
    EXPECT_EQ(stretch->bounds(), (fw::Rect{10, 20, 60, 50}));
    EXPECT_EQ(far->bounds(), (fw::Rect{140, 120, 60, 30}));
}

TEST_F(WindowTest, ListKeepsCellsByteForByteRaisesOutsideThemAndSharesItsInnerWidthByPercentages) {
    auto list = add<fw::Listbox>("List", {0, 0, 300, 200}, "LTRB");
    show();
    const std::string notUtf8("caf\xe9 \xff\0x", 8);
    list->setProperty("ColumnCount", 2);
    list->AddRow(notUtf8);
    list->Cell(0, 1, notUtf8);
    list->setProperty("ColumnCount", 3);
    list->setProperty("ColumnWidths", std::string("0,50%,25%"));
    EXPECT_EQ(list->List(0), notUtf8);
    EXPECT_EQ(list->Cell(0, 1), notUtf8);
    EXPECT_THROW(list->List(1), fw::OutOfBoundsException);
    EXPECT_THROW(list->Cell(0, 3), fw::OutOfBoundsException);
    EXPECT_THROW(list->Heading(-1, "x"), fw::OutOfBoundsException);

    // Enough rows for a vertical scroll bar, so the inner width is clearly narrower than the list.
    for (int row = 0; row < 40; ++row)
        list->AddRow("row");
    auto* view = qobject_cast<QTreeView*>(list->widget());
    for (int width : {420, 260}) {
        resizeContent(width, 200);
        const int inner = view->viewport()->width();
        ASSERT_LT(inner, width - 10);
        EXPECT_TRUE(view->isColumnHidden(0));
        EXPECT_NEAR(view->columnWidth(1), inner / 2, 1);
        EXPECT_NEAR(view->columnWidth(2), inner / 4, 1);
    }
}

// Runs the framework's loop, but never for ever: a loop that a test's events fail to end is ended here.
void runGuarded(std::function<void()> inLoop) {
    QObject watchdog; // going out of scope cancels it
    QTimer::singleShot(5000, &watchdog, [] {
        ADD_FAILURE() << "the loop did not end";
        QCoreApplication::exit(99);
    });
    QTimer::singleShot(0, std::move(inLoop));
    fw::RuntimeRun();
}

TEST(Runtime, SecondQuitIsHarmlessAndTheFirstStatusWins) {
    fw::Runtime runtime;
    runGuarded([] {
        fw::Quit(3);
        fw::Quit(5);
    });
    EXPECT_EQ(runtime.Exit(), 3);
    EXPECT_EQ(runtime.Exit(), 3);
}

// Start-up hands what Run raises to the report, which must name it and make the exit status 1.
TEST(Runtime, ExceptionFromAHandlerEndsTheLoopAndIsRaisedOnceFromRunAndReportedOnce) {
    fw::Runtime runtime;
    QString shown;
    test::DialogAnswers answers({[&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog))
            shown = box->text();
        dialog.reject();
    }});
    try {
        runGuarded([] {
            fw::dispatch([] { throw fw::OutOfBoundsException("first"); });
            fw::dispatch([] { throw fw::OutOfBoundsException("second"); });
        });
        ADD_FAILURE() << "nothing was raised";
    } catch (const fw::OutOfBoundsException& e) {
        EXPECT_STREQ(e.what(), "first");
        fw::UnhandledException(std::current_exception());
    }
    EXPECT_NO_THROW(fw::RuntimeRun());
    EXPECT_TRUE(shown.contains("OutOfBoundsException")) << shown.toStdString();
    EXPECT_EQ(runtime.Exit(), 1);
}

} // namespace
