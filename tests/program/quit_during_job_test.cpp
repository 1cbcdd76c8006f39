#include "program/started_program.h"

#include "faults/faults.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"

#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <functional>

namespace {

// The class of every dialog put on screen: one whose event loop ends at once is never answered, yet flashes.
struct ShownDialogs : QObject {
    ShownDialogs() { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
            classes << watched->metaObject()->className();
        return false;
    }
    QStringList classes;
};

// The program in its own loop, as main runs it; end-to-end cases prove that Ctrl+Q and closing reach a job.
class QuitDuringJobTest : public test::StartedProgram {
protected:
    // Rows listed without the yield of a drop, so that the first job's first yield is the run's first.
    void SetUp() override {
        test::StartedProgram::SetUp();
        list()->AddRow(write("a.syx", "AAAA"));
        list()->AddRow(write("b.syx", "BBBB"));
        write("out.syx", "old");
    }

    // Runs the program's loop from a first step; act comes the first time events run in that loop rather than
    // a dialog's, which inside a job is where it yields.
    void runProgram(const std::function<void()>& firstStep, const std::function<void()>& act) {
        QObject watchdog;
        QTimer::singleShot(60000, &watchdog, [] {
            ADD_FAILURE() << "the program's loop did not end";
            QCoreApplication::exit(99);
        });
        QTimer acting;
        acting.callOnTimeout([&] {
            if (QThread::currentThread()->loopLevel() != 1)
                return;
            acting.stop();
            act();
        });
        QTimer::singleShot(0, &acting, [&] {
            acting.start(0);
            firstStep();
        });
        fw::RuntimeRun();
    }

    // Merges the rows over out.syx, agreeing to replace it, with act during the merge.
    void mergeOverOut(const std::function<void()>& act) {
        test::DialogAnswers dialogs({test::TypePath(path("out.syx")), test::Press(QMessageBox::Yes)});
        runProgram([this] { click("PushButton2"); }, act);
    }

    ShownDialogs m_shown;
};

// The merge stops where it is and its output is dropped: the target keeps its bytes, nothing is left beside
// it, nothing is reported, and the run ends as a quit does.
TEST_F(QuitDuringJobTest, SigtermDuringAMergeAbandonsItLeavingTheFolderAsItWasAndExitsWithZero) {
    const QStringList before = files();
    mergeOverOut([] {
        struct sigaction current {};
        ::sigaction(SIGTERM, nullptr, &current);
        ASSERT_NE(current.sa_handler, SIG_DFL) << "SIGTERM would end the test run";
        ::raise(SIGTERM);
        // The handler's byte is read on a later pass of the loop, which waiting runs in the merge's yield.
        EXPECT_TRUE(QTest::qWaitFor([] { return fw::quitAsked(); }));
    });
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(files(), before);
    EXPECT_EQ(m_shown.classes, (QStringList{"QFileDialog", "QMessageBox"}));
    EXPECT_EQ(m_runtime.Exit(), 0);
}

// The report of the input that failed would come after the user had asked to leave.
TEST_F(QuitDuringJobTest, QuitAfterAnInputFailedShowsNoReport) {
    faults::failReads(path("a.syx"), EIO);
    mergeOverOut([] { fw::Quit(0); });
    faults::clearFaults();
    EXPECT_EQ(m_shown.classes, (QStringList{"QFileDialog", "QMessageBox"}));
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(m_runtime.Exit(), 0);
}

TEST_F(QuitDuringJobTest, QuitDuringADropEndsTheDropAndTheRun) {
    std::vector<std::string> dropped;
    for (int i = 0; i < 100; ++i)
        dropped.push_back(write("p" + std::to_string(i) + ".syx", "\xF0\x01\x02\x03\xF7"));
    runProgram([&] { dropFiles(dropped); }, [] { fw::Quit(0); });
    EXPECT_LT(list()->ListCount(), 2 + 100);
    EXPECT_EQ(m_runtime.Exit(), 0);
}

// A click that comes while a merge runs starts nothing then; it arrives once the merge is done, so the second
// merge's dialog finds the first merge's output complete.
TEST_F(QuitDuringJobTest, ClickDuringAMergeArrivesAfterIt) {
    std::string firstOutput = "no second dialog";
    test::DialogAnswers dialogs({test::TypePath(path("first.syx")), [&](QDialog& dialog) {
                                     firstOutput = read("first.syx");
                                     dialog.reject();
                                     fw::Quit(0);
                                 }});
    runProgram([this] { click("PushButton2"); },
               [this] {
                   EXPECT_FALSE(files().contains("first.syx"));
                   click("PushButton2");
               });
    EXPECT_EQ(firstOutput, "AAAABBBB");
}

} // namespace
