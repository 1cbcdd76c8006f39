#include "app/file_types1.h"
#include "app/menu_bar1.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"
#include "framework/runtime.h"
#include "startup/startup.h"
#include "window/window1.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The whole run as main() makes it. Entered without the control that raises it, a handler finds no receiver;
// whatever quits after it, the status stays 1, and the run still releases every module object it made.
TEST(WholeRunTest, ExceptionEscapingAHandlerIsReportedOnceAndEndsTheRunWithStatusOne) {
    QString report;
    test::DialogAnswers answers({[&](QDialog& dialog) {
        report = qobject_cast<QMessageBox*>(&dialog)->text();
        dialog.reject();
    }});
    fw::Runtime runtime;
    RegisterClasses();
    QTimer::singleShot(0, [] {
        fw::dispatch([] { Window1::Instance()->PushButton1_Action(); });
        fw::dispatch([] { Window1::Instance()->PushButton1_Action(); });
        fw::Quit(0);
    });
    Main();

    EXPECT_EQ(runtime.Exit(), 1);
    EXPECT_TRUE(report.contains("NilObjectException")) << report.toStdString();
    EXPECT_FALSE(FileTypes1::Sysex());
    EXPECT_FALSE(MenuBar1::_implicitInstance.get());
}

} // namespace
