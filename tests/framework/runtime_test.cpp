#include "framework/class_record.h"
#include "framework/event_binding.h"
#include "framework/listbox.h"
#include "framework/modal_dialogs.h"
#include "framework/push_button.h"
#include "framework/runtime.h"
#include "framework/window.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Runs the framework's loop, but never for ever: a loop that a test's events fail to end is ended here.
void runGuarded(std::function<void()> inLoop) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "the loop did not end";
        QCoreApplication::exit(99);
    });
    watchdog.start(5000);
    QTimer::singleShot(0, std::move(inLoop));
    fw::RuntimeRun();
}

TEST(Runtime, SecondQuitIsHarmlessAndTheFirstStatusWins) {
    runGuarded([] {
        fw::Quit(3);
        fw::Quit(5);
    });
    EXPECT_TRUE(fw::RuntimeQuitting());
    EXPECT_EQ(fw::RuntimeExit(), 3);
}

TEST(Runtime, ExceptionFromAHandlerEndsTheLoopAndIsRaisedOnceFromRun) {
    try {
        runGuarded([] {
            fw::RuntimeDispatch([] { throw fw::OutOfBoundsException("first"); });
            fw::RuntimeDispatch([] { throw fw::OutOfBoundsException("second"); });
        });
        ADD_FAILURE() << "nothing was raised";
    } catch (const fw::OutOfBoundsException& e) {
        EXPECT_STREQ(e.what(), "first");
    }
    EXPECT_NO_THROW(fw::RuntimeRun());
    fw::RuntimeExit();
}

TEST(Runtime, UnhandledExceptionShowsOneDialogNamingItAndExitsWithOne) {
    std::vector<QString> shown;
    fw::ModalDialogs::setAnswerer([&shown](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        shown.push_back(box ? box->text() + "\n" + box->informativeText() : "not a message box");
        dialog.reject();
    });
    runGuarded([] { fw::Quit(0); });
    fw::UnhandledException(std::make_exception_ptr(fw::IllegalCastException("wrong class")));
    fw::ModalDialogs::setAnswerer({});

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].contains("IllegalCastException")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("wrong class")) << shown[0].toStdString();
    EXPECT_EQ(fw::RuntimeExit(), 1);
}

TEST(Runtime, BackgroundTaskLetsPostedEventsRun) {
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    fw::RuntimeBackgroundTask();
    EXPECT_TRUE(ran);
}

// The methods that events are bound to, recording the raising control that each saw.
struct Handlers {
    void Action() { raisers.push_back(fw::RuntimeSwapSelfAndMe<fw::Control>()); }
    void Drop(std::int32_t) {}

    std::vector<fw::Ref<fw::Control>> raisers;
};

// A shown window with a button.
class EventBinding : public ::testing::Test {
protected:
    void SetUp() override {
        window = fw::Cast<fw::Window>(fw::RuntimeNewObject(fw::Window::Record()));
        window->SetProperty("Width", 200);
        window->SetProperty("Height", 100);
        window->SetProperty("Visible", true);
        fw::Ref<fw::Object> object = window->New(fw::PushButton::Record());
        button = fw::Cast<fw::PushButton>(object);
        button->Construct();
        window->AddControl(object, "Button");
        button->SetProperty("Width", 80);
        button->SetProperty("Height", 30);
        window->Construct();
    }
    void TearDown() override { fw::RuntimeExit(); }

    fw::Ref<fw::Window> window;
    fw::Ref<fw::PushButton> button;
    Handlers handlers;
};

TEST_F(EventBinding, ClickRaisesActionOnceWithTheButtonAsRaisingControl) {
    fw::InstallInstanceEventHandler(*button, "Action", fw::MakeDelegate(handlers, &Handlers::Action, "( "));
    QTest::mouseClick(button->widget(), Qt::LeftButton);
    EXPECT_EQ(handlers.raisers, (std::vector<fw::Ref<fw::Control>>{button}));
    EXPECT_FALSE(fw::RuntimeQuitting());
    EXPECT_THROW(fw::RuntimeSwapSelfAndMe<fw::Control>(), fw::NilObjectException)
        << "only while a handler runs";
}

TEST_F(EventBinding, HandlerOfOtherArgumentsRaisesAndNilUnbinds) {
    fw::InstallInstanceEventHandler(*button, "Action",
                                    fw::MakeDelegate(handlers, &Handlers::Drop, "( Int32 )"));
    EXPECT_THROW(button->RaiseEvent("Action"), fw::IllegalCastException);

    fw::InstallInstanceEventHandler(*button, "Action", nullptr);
    QTest::mouseClick(button->widget(), Qt::LeftButton);
    EXPECT_FALSE(fw::RuntimeQuitting()) << "a click with no handler bound must not reach the mismatched one";
}

} // namespace
