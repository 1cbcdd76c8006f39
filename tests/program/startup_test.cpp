#include "app/file_types1.h"
#include "app/menu_bar1.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"
#include "framework/file_type_registry.h"
#include "framework/runtime.h"
#include "startup/startup.h"
#include "window/window1.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The whole run as main() makes it, with a handler raising twice from inside the event loop. Entered without
// the control that raises it, the handler cannot find its receiver. The first exception ends the loop and is
// reported, naming it, once; the status stays 1 whatever quits after it, and the run still releases every
// module object it made.
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
    EXPECT_FALSE(fw::findFileType("Prophet 600 Patch"));
}

} // namespace
