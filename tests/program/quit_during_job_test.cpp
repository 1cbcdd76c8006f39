#include "program/started_program.h"

#include "faults/faults.h"
#include "framework/dialog_answers.h"
#include "framework/event_loop.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <functional>
#include <memory>

namespace {

// The class of every dialog that is put on screen while it lives, answered or not: a dialog whose event loop
// ends at once is never answered, yet the user would have seen it flash.
class ShownDialogs : public QObject {
public:
    ShownDialogs() { QCoreApplication::instance()->installEventFilter(this); }
    const QStringList& classes() const { return m_classes; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
            m_classes << watched->metaObject()->className();
        return false;
    }

private:
    QStringList m_classes;
};

// The program in its own event loop, as main runs it, with a merge or a drop under way when the user acts.
class QuitDuringJobTest : public test::StartedProgram {
protected:
    void TearDown() override {
        faults::clearFaults();
        test::StartedProgram::TearDown();
    }

    // Starts the program's loop with a first step in it, and returns once the loop has ended; a loop that
    // does not end is ended here, after longer than any machine needs, and fails the test.
    void runProgram(const std::function<void()>& firstStep) {
        QObject watchdog;
        QTimer::singleShot(60000, &watchdog, [] {
            ADD_FAILURE() << "the program's loop did not end";
            QCoreApplication::exit(99);
        });
        QTimer::singleShot(0, firstStep);
        fw::RuntimeRun();
    }

    // Does what the user does, once, the first time events run in the program's own loop, not a dialog's,
    // with ready() true. Inside a handler events run only where a job yields, so an act armed by a
    // handler's dialog happens during that handler's job.
    void whenEventsRun(std::function<bool()> ready, std::function<void()> act) {
        auto* timer = new QTimer(&m_acts);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, ready, act] {
            if (QThread::currentThread()->loopLevel() != 1 || !ready())
                return;
            timer->stop();
            act();
        });
        timer->start(0);
    }

    // Rows listed without the yield of a drop, so that the merge's first yield is the run's first, and
    // lets events run.
    void listWithoutYielding(const std::vector<std::string>& paths) {
        for (const std::string& path : paths)
            list()->AddRow(path);
    }

    // Clicks Merge and saves over the named file, which exists; the act comes during the merge.
    void mergeOver(const std::string& name, std::function<void()> act) {
        runProgram([this, name, act] {
            test::DialogAnswers dialogs({test::TypePath(path(name)), [this, act](QDialog& dialog) {
                                             test::Press(QMessageBox::Yes)(dialog);
                                             whenEventsRun([] { return true; }, act);
                                             m_shown = std::make_unique<ShownDialogs>();
                                         }});
            click("PushButton2");
        });
    }

    QObject m_acts;
    std::unique_ptr<ShownDialogs> m_shown;
};

enum class QuitBy { ClosingTheWindow, CtrlQ, Sigterm };

class QuitDuringMergeTest : public QuitDuringJobTest, public ::testing::WithParamInterface<QuitBy> {
protected:
    void quit() {
        switch (GetParam()) {
        case QuitBy::ClosingTheWindow:
            window()->widget()->close();
            return;
        case QuitBy::CtrlQ:
            // A window's shortcuts work while it is the active one, as it is when the user types.
            QApplication::setActiveWindow(window()->widget());
            QTest::keyClick(window()->widget(), Qt::Key_Q, Qt::ControlModifier);
            return;
        case QuitBy::Sigterm:
            struct sigaction current {};
            ::sigaction(SIGTERM, nullptr, &current);
            if (current.sa_handler == SIG_DFL)
                return ADD_FAILURE() << "SIGTERM would end the test run unhandled";
            ::raise(SIGTERM);
            // The byte the handler writes is read on a later pass of the loop; waiting here runs that pass
            // inside the merge's yield.
            EXPECT_TRUE(QTest::qWaitFor([] { return fw::quitAsked(); }));
            return;
        }
    }
};

// The merge stops where it is and its output is dropped: the target keeps its bytes, nothing is left beside
// it, nothing is asked or reported, and the run ends as a quit does.
TEST_P(QuitDuringMergeTest, AbandonsTheMergeLeavingTheTargetAndFolderAsTheyWereAndExitsWithZero) {
    listWithoutYielding({write("a.syx", "AAAA"), write("b.syx", "BBBB"), write("c.syx", "CCCC")});
    write("out.syx", "old");
    const QStringList before = files();
    mergeOver("out.syx", [this] { quit(); });
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(files(), before);
    EXPECT_EQ(m_shown->classes(), QStringList());
    EXPECT_EQ(m_runtime.Exit(), 0);
}

std::string nameOf(const ::testing::TestParamInfo<QuitBy>& info) {
    switch (info.param) {
    case QuitBy::ClosingTheWindow:
        return "ClosingTheWindow";
    case QuitBy::CtrlQ:
        return "CtrlQ";
    case QuitBy::Sigterm:
        return "Sigterm";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(Ways, QuitDuringMergeTest,
                         ::testing::Values(QuitBy::ClosingTheWindow, QuitBy::CtrlQ, QuitBy::Sigterm), nameOf);

// The report of an input that failed would come after the user had asked to leave.
TEST_F(QuitDuringJobTest, QuitAfterAnInputFailedShowsNoReport) {
    listWithoutYielding({write("a.syx", "AAAA"), write("b.syx", "BBBB")});
    write("out.syx", "old");
    faults::failReads(path("a.syx"), EIO);
    mergeOver("out.syx", [] { fw::Quit(0); });
    EXPECT_EQ(m_shown->classes(), QStringList());
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(m_runtime.Exit(), 0);
}

TEST_F(QuitDuringJobTest, QuitDuringADropEndsTheDropAndTheRun) {
    std::vector<std::string> dropped;
    for (int i = 0; i < 100; ++i)
        dropped.push_back(write("p" + std::to_string(i) + ".syx", "\xF0\x01\x02\x03\xF7"));
    runProgram([&] {
        whenEventsRun([] { return true; }, [] { fw::Quit(0); });
        dropFiles(dropped);
    });
    EXPECT_GT(list()->ListCount(), 0);
    EXPECT_LT(list()->ListCount(), 100);
    EXPECT_EQ(m_runtime.Exit(), 0);
}

// A click that comes while a merge runs starts nothing then; it arrives once the merge is done, so the second
// merge's dialog finds the first merge's output complete.
TEST_F(QuitDuringJobTest, ClickDuringAMergeArrivesAfterIt) {
    listWithoutYielding({write("a.syx", "AAAA"), write("b.syx", "BBBB")});
    std::string firstOutputWhenClicked = "no second dialog";
    bool secondAnswered = false;
    bool clickedDuringTheMerge = false;
    test::DialogAnswers dialogs({[&](QDialog& dialog) {
                                     test::TypePath(path("first.syx"))(dialog);
                                     whenEventsRun([] { return true; },
                                                   [&] {
                                                       clickedDuringTheMerge = !QFileInfo::exists(
                                                           QString::fromStdString(path("first.syx")));
                                                       click("PushButton2");
                                                   });
                                 },
                                 [&](QDialog& dialog) {
                                     firstOutputWhenClicked = read("first.syx");
                                     secondAnswered = true;
                                     dialog.reject();
                                 }});
    runProgram([&] {
        click("PushButton2");
        whenEventsRun([&] { return secondAnswered; }, [] { fw::Quit(0); });
    });
    EXPECT_TRUE(clickedDuringTheMerge);
    EXPECT_EQ(firstOutputWhenClicked, "AAAABBBB");
}

} // namespace
