#include "app/file_types1.h"
#include "app/menu_bar1.h"
#include "app/startup.h"
#include "framework/dialog_answers.h"
#include "framework/file_type_registry.h"
#include "framework/push_button.h"
#include "framework/runtime.h"
#include "program/started_program.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

namespace {

// The whole run as main() makes it, with the user's part played from inside the event loop.
class WholeRunTest : public ::testing::Test {
protected:
    int runWhile(const std::function<void()>& user) {
        fw::RuntimeInit();
        RegisterClasses();
        QTimer::singleShot(0, user);
        Main();
        ReleaseModuleObjects();
        return fw::RuntimeExit();
    }
};

TEST_F(WholeRunTest, ClosingTheWindowEndsTheRunWithStatusZero) {
    EXPECT_EQ(runWhile([] { Window1::Instance()->widget()->close(); }), 0);
}

TEST_F(WholeRunTest, FileQuitEndsTheRunWithStatusZero) {
    EXPECT_EQ(runWhile([] {
                  const auto* bar = qobject_cast<QMenuBar*>(Window1::Instance()->widget()->menuWidget());
                  bar->actions().front()->menu()->actions().front()->trigger();
              }),
              0);
}

TEST_F(WholeRunTest, ExceptionEscapingAHandlerIsReportedOnceAndEndsTheRunWithStatusOne) {
    test::DialogAnswers answers({test::Press(QMessageBox::Ok)});
    const int status = runWhile([] {
        auto button = fw::RuntimeWindowControlByName(*Window1::Instance(), "PushButton1");
        fw::InstallInstanceEventHandler(
            *button, "Action",
            std::make_shared<fw::EventHandler<>>([] { throw std::runtime_error("broken handler"); }, "( "));
        qobject_cast<QPushButton*>(button->widget())->click();
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(answers.answered(), std::vector<std::string>{"QMessageBox"});
}

class StartupTest : public test::StartedProgram {};

TEST_F(StartupTest, StartUpRegistersThePatchFileTypeOnce) {
    const fw::RegisteredFileType* type = fw::RuntimeFindFileType("Prophet 600 Patch");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->extensions, ".syx");
    EXPECT_EQ(type->macCreator, "");
    EXPECT_EQ(type->macType, "");
    EXPECT_EQ(type->registrations, 1);
}

TEST_F(StartupTest, ShutDownReleasesTheModuleObjects) {
    ReleaseModuleObjects();
    EXPECT_FALSE(MenuBar1::_implicitInstance.get());
    EXPECT_FALSE(FileTypes1::Sysex());
    EXPECT_FALSE(fw::RuntimeFindFileType("Prophet 600 Patch"));
}

} // namespace
