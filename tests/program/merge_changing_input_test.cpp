#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/due_yield.h"
#include "framework/scratch_folder.h"

#include <QMessageBox>
#include <QTimer>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using test::pattern;

// Several chunks of the merge's copy, so that it yields before it is done.
constexpr std::size_t kLarge = 16 << 20;

// Whether this process has the file open: the merge holds each input open from just before its copy until the
// next one's, and has none open before it starts.
bool openHere(const std::string& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error))
        if (std::filesystem::read_symlink(entry.path(), error) == path)
            return true;
    return false;
}

class MergeChangingInputTest : public test::StartedProgram {
protected:
    // An input with an old modification time, so that any write to it shows however coarse the file system's
    // clock is.
    std::string writeOld(const std::string& name, const std::string& bytes) const {
        const std::string file = write(name, bytes);
        const timespec times[2] = {{946684800, 0}, {946684800, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        return file;
    }

    // Merges into the named file, which exists, and makes the change to the input at the first chance the
    // merge gives the event loop once the input is open: the first yield of its copy, since it comes first in
    // the list and nothing yields before it. The report's text.
    std::string mergeChanging(const std::string& input, const std::function<void()>& change,
                              const std::string& output) {
        bool changed = false;
        QTimer watch;
        watch.callOnTimeout([&] {
            if (!openHere(input))
                return;
            change();
            changed = true;
            watch.stop();
        });
        watch.start(0);
        std::string report;
        test::DialogAnswers dialogs(
            {test::TypePath(path(output)), test::Press(QMessageBox::Yes), [&report](QDialog& dialog) {
                 const auto* box = qobject_cast<QMessageBox*>(&dialog);
                 report = (box->text() + "\n" + box->informativeText()).toStdString();
                 test::Press(QMessageBox::Ok)(dialog);
             }});
        test::makeTheNextYieldDue();
        click("PushButton2");
        EXPECT_TRUE(changed) << "the merge never yielded while " << input << " was open";
        return report;
    }
};

// A file that shrank before the merge reached it is merged as it is then; one truncated while it is copied
// would leave part of its old content, neither the file before nor after.
TEST_F(MergeChangingInputTest, InputTruncatedDuringItsCopyStopsTheMergeButNotOneTruncatedBefore) {
    const std::string large = writeOld("large.syx", pattern(kLarge));
    ASSERT_TRUE(dropFiles({large, write("small.syx", "CC")}));
    ASSERT_EQ(::truncate(large.c_str(), 100000), 0);
    mergeInto("out.syx");
    EXPECT_TRUE(read("out.syx") == pattern(100000) + "CC");

    writeOld("large.syx", pattern(kLarge));
    const std::string report = mergeChanging(
        large, [&] { ASSERT_EQ(::truncate(large.c_str(), 1000), 0); }, "out.syx");
    EXPECT_NE(report.find(large + "\" changed while it was being read, so \"" + path("out.syx") +
                          "\" was not written."),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("shorter"), std::string::npos) << report;
    EXPECT_NE(report.find("\"out.syx\" was left as it was."), std::string::npos) << report;
    EXPECT_TRUE(read("out.syx") == pattern(100000) + "CC");
    EXPECT_EQ(files(), (QStringList{"large.syx", "out.syx", "small.syx"}));
}

// Bytes already copied are rewritten, so the merged file would hold a mix of the old content and the new.
TEST_F(MergeChangingInputTest, InputOverwrittenInPlaceDuringItsCopyStopsTheMergeAndIsNamed) {
    const std::string large = writeOld("large.syx", pattern(kLarge));
    ASSERT_TRUE(dropFiles({large, write("small.syx", "CC")}));
    write("out.syx", "old");
    const std::string report = mergeChanging(
        large,
        [&] {
            const int descriptor = ::open(large.c_str(), O_WRONLY | O_CLOEXEC);
            const std::string bytes(1 << 20, 'x');
            ASSERT_EQ(::pwrite(descriptor, bytes.data(), bytes.size(), 0),
                      static_cast<ssize_t>(bytes.size()));
            ::close(descriptor);
        },
        "out.syx");
    EXPECT_NE(report.find(large + "\" changed while it was being read"), std::string::npos) << report;
    EXPECT_NE(report.find("written to after reading began"), std::string::npos) << report;
    EXPECT_EQ(read("out.syx"), "old");
    struct stat status {};
    ::stat(large.c_str(), &status);
    EXPECT_EQ(static_cast<std::size_t>(status.st_size), kLarge);
}

} // namespace
