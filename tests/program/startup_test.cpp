#include "app/startup.h"
#include "framework/file_type_registry.h"
#include "framework/runtime.h"
#include "program/started_program.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

// The whole run as main() makes it, with the user's part played from inside the event loop; its exit status.
int runWhile(const std::function<void()>& user) {
    fw::RuntimeInit();
    RegisterClasses();
    QTimer::singleShot(0, user);
    Main();
    ReleaseModuleObjects();
    return fw::RuntimeExit();
}

TEST(WholeRunTest, ClosingTheWindowEndsTheRunWithStatusZero) {
    EXPECT_EQ(runWhile([] { Window1::Instance()->widget()->close(); }), 0);
}

TEST(WholeRunTest, FileQuitEndsTheRunWithStatusZero) {
    EXPECT_EQ(runWhile([] {
                  const auto* bar = qobject_cast<QMenuBar*>(Window1::Instance()->widget()->menuWidget());
                  bar->actions().front()->menu()->actions().front()->trigger();
              }),
              0);
}

class StartupTest : public test::StartedProgram {};

TEST_F(StartupTest, StartUpRegistersThePatchFileTypeOnce) {
    const fw::RegisteredFileType* type = fw::RuntimeFindFileType("Prophet 600 Patch");
    ASSERT_TRUE(type);
    EXPECT_EQ(std::tuple(type->extensions, type->macCreator, type->macType, type->registrations),
              std::tuple(".syx", "", "", 1));
}

} // namespace
