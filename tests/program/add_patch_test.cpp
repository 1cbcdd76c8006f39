#include "program/started_program.h"

#include "framework/dialog_answers.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Row = std::vector<std::string>;

class AddPatchTest : public test::StartedProgram {};

TEST_F(AddPatchTest, DroppedFileShowsPathNameSizeAndTheByteAtOffsetThree) {
    const std::string file = write("lead.syx", std::string("\xF0\x01\x02\x2A", 4));

    ASSERT_TRUE(dropFiles({file}));

    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), (Row{file, "lead.syx", "4 bytes", "42"}));
}

TEST_F(AddPatchTest, ShortAndHugeFilesShowTheirSizeAndPatchZeroPastTheEnd) {
    const std::string huge = path("huge.syx");
    write("huge.syx", "");
    ASSERT_EQ(::truncate(huge.c_str(), 5LL << 30), 0);

    ASSERT_TRUE(dropFiles({write("empty.syx", ""), write("one.syx", "\xF0"),
                           write("three.syx", "\xF0\x01\x02"), write("high.syx", "\xF0\x01\x02\xC8"), huge}));

    ASSERT_EQ(rowCount(), 5);
    EXPECT_EQ(row(0)[2] + " " + row(0)[3], "0 bytes 0");
    EXPECT_EQ(row(1)[2] + " " + row(1)[3], "1 bytes 0");
    EXPECT_EQ(row(2)[2] + " " + row(2)[3], "3 bytes 0");
    EXPECT_EQ(row(3)[3], "200");
    EXPECT_EQ(row(4)[2] + " " + row(4)[3], "5368709120 bytes 0");
}

// Root can open a file whatever its mode, so files that fail to open are a named pipe and a dangling link.
TEST_F(AddPatchTest, DropAddsEveryReadableFileInOrderEvenTwiceAndSkipsTheRest) {
    const std::string a = write("a.syx", "A");
    const std::string b = write("b.syx", "B");
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.syx"));
    ASSERT_EQ(::mkfifo(path("pipe.syx").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(path("gone").c_str(), path("dangling.syx").c_str()), 0);

    ASSERT_TRUE(dropFiles(
        {a, path("missing.syx"), b, path("folder.syx"), a, path("pipe.syx"), path("dangling.syx"), b}));

    ASSERT_EQ(rowCount(), 4);
    EXPECT_EQ(row(0)[0], a);
    EXPECT_EQ(row(1)[0], b);
    EXPECT_EQ(row(2)[0], a);
    EXPECT_EQ(row(3)[0], b);
}

TEST_F(AddPatchTest, DropOfNoPatchFileIsRefused) {
    EXPECT_FALSE(dropFiles({write("notes.txt", "text")}));
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(AddPatchTest, RowKeepsItsTextsAfterItsFileChanges) {
    const std::string file = write("lead.syx", std::string("\xF0\x01\x02\x2A", 4));
    ASSERT_TRUE(dropFiles({file}));

    write("lead.syx", std::string("\xF0\x01\x02\x07\x00\x00", 6));

    EXPECT_EQ(row(0), (Row{file, "lead.syx", "4 bytes", "42"}));
}

TEST_F(AddPatchTest, AddButtonAddsTheChosenFileAndNothingWhenCancelled) {
    const std::string file = write("lead.syx", std::string("\xF0\x01\x02\x05", 4));
    {
        test::DialogAnswers answers({test::Cancel()});
        clickButton("PushButton1");
    }
    EXPECT_EQ(rowCount(), 0);

    test::DialogAnswers answers({test::TypePath(file)});
    clickButton("PushButton1");

    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), (Row{file, "lead.syx", "4 bytes", "5"}));
}

} // namespace
