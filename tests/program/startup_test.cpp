#include "app/file_types1.h"
#include "app/menu_bar1.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"
#include "framework/file_type_registry.h"
#include "framework/runtime.h"
#include "program/started_program.h"
#include "startup/startup.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

// The whole run as main() makes it, with the user's part played from inside the event loop; its exit status.
int runWhile(const std::function<void()>& user) {
    fw::Runtime runtime;
    RegisterClasses();
    QTimer::singleShot(0, user);
    Main();
    return runtime.Exit();
}

TEST(WholeRunTest, ClosingTheWindowEndsTheRunWithStatusZeroAndReleasesEveryModuleObject) {
    EXPECT_EQ(runWhile([] { Window1::Instance()->widget()->close(); }), 0);
    EXPECT_FALSE(FileTypes1::Sysex());
    EXPECT_FALSE(MenuBar1::_implicitInstance.get());
    EXPECT_FALSE(fw::findFileType("Prophet 600 Patch"));
}

TEST(WholeRunTest, FileQuitEndsTheRunWithStatusZero) {
    EXPECT_EQ(runWhile([] {
                  const auto* bar = qobject_cast<QMenuBar*>(Window1::Instance()->widget()->menuWidget());
                  bar->actions().front()->menu()->actions().front()->trigger();
              }),
              0);
}

// A handler's exception ends the loop, is reported once, and the run still releases everything it made.
TEST(WholeRunTest, ExceptionEscapingAHandlerIsReportedOnceAndEndsTheRunWithStatusOne) {
    test::DialogAnswers answers({test::Press(QMessageBox::Ok)});
    // Entered without the control that raises it, the handler cannot find its receiver.
    EXPECT_EQ(runWhile([] { fw::dispatch([] { Window1::Instance()->PushButton1_Action(); }); }), 1);
    EXPECT_EQ(answers.answered(), std::vector<std::string>{"QMessageBox"});
    EXPECT_FALSE(FileTypes1::Sysex());
}

class StartupTest : public test::StartedProgram {};

TEST_F(StartupTest, StartUpRegistersThePatchFileTypeOnceAndSharesOneMenuBar) {
    const fw::RegisteredFileType* type = fw::findFileType("Prophet 600 Patch");
    ASSERT_TRUE(type);
    EXPECT_EQ(std::tuple(type->extensions, type->macCreator, type->macType, type->registrations),
              std::tuple(".syx", "", "", 1));
    EXPECT_EQ(window()->MenuBar().get(), MenuBar1::_implicitInstance.get().get());
}

} // namespace
