#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/open_watch.h"

#include <QFileDialog>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using test::Cells;

class AddPatchTest : public test::StartedProgram {};

// The row is read once, when the file is added; a later change to the file must not show.
TEST_F(AddPatchTest, DroppedFileShowsPathNameSizeAndTheByteAtOffsetThreeAsItWasAdded) {
    const std::string file = write("lead.syx", std::string("\xF0\x01\x02\x2A", 4));
    ASSERT_TRUE(dropFiles({file}));
    write("lead.syx", std::string("\xF0\x01\x02\x07\x00\x00", 6));

    EXPECT_EQ(rows(), (std::vector<Cells>{{file, "lead.syx", "4 bytes", "42"}}));
}

// The patch number is an unsigned byte, and a size past 32 bits must not wrap.
TEST_F(AddPatchTest, ShortAndHugeFilesShowTheirSizeAndPatchZeroPastTheEnd) {
    ASSERT_EQ(::truncate(write("huge.syx", "").c_str(), 5LL << 30), 0);
    ASSERT_TRUE(dropFiles({write("0.syx", ""), write("1.syx", "\xF0"), write("3.syx", "\xF0\x01\x02"),
                           write("4.syx", "\xF0\x01\x02\xC8"), path("huge.syx")}));

    EXPECT_EQ(column(2), (Cells{"0 bytes", "1 bytes", "3 bytes", "4 bytes", "5368709120 bytes"}));
    EXPECT_EQ(column(3), (Cells{"0", "0", "0", "200", "0"}));
}

// Root can open a file whatever its mode, so the file that fails to open is a named pipe. The pipe is never
// even opened: opening a device can have effects of its own, and only the system sees whether it was.
TEST_F(AddPatchTest, DropAddsEveryReadableFileInOrderEvenTwiceAndSkipsTheRest) {
    const std::string a = write("a.syx", "A");
    const std::string b = write("b.syx", "B");
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.syx"));
    ASSERT_EQ(::mkfifo(path("pipe.syx").c_str(), 0600), 0);
    const test::OpenWatch opens;
    ASSERT_TRUE(opens.watch(path("pipe.syx")));

    ASSERT_TRUE(dropFiles({a, path("missing.syx"), b, path("folder.syx"), a, path("pipe.syx"), b}));

    EXPECT_EQ(column(0), (Cells{a, b, a, b}));
    EXPECT_FALSE(opens.anyOpened());
}

// A name typed into the chooser and then cancelled must not count.
TEST_F(AddPatchTest, AddButtonOffersPatchFilesAndAddsTheChosenOneButNothingWhenCancelled) {
    const std::string file = write("lead.syx", std::string("\xF0\x01\x02\x05", 4));
    QStringList offered;
    test::DialogAnswers answers({test::CancelAfterTyping(file), [&](QDialog& dialog) {
                                     offered = qobject_cast<QFileDialog*>(&dialog)->nameFilters();
                                     test::TypePath(file)(dialog);
                                 }});
    click("PushButton1");
    EXPECT_TRUE(rows().empty());

    click("PushButton1");
    EXPECT_EQ(offered, QStringList{"Prophet 600 Patch (*.syx)"});
    EXPECT_EQ(column(0), Cells{file});
    EXPECT_TRUE(nothingEscaped());
}

} // namespace
