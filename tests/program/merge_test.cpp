#include "program/started_program.h"

#include "framework/dialog_answers.h"

#include <cstdio>

namespace {

class MergeTest : public test::StartedProgram {};

// Merging into a listed file must read that file as it was, not the output being written over it.
TEST_F(MergeTest, MergeWritesEveryRowInListOrderEvenIntoAListedFileAndLeavesTheList) {
    const std::string a = write("a.syx", std::string("\xF0\x00\x01\xF7", 4));
    const std::string b = write("b.syx", "\xF0\x02\xF7");
    const std::string merged = read("a.syx") + read("b.syx") + read("a.syx");
    ASSERT_TRUE(dropFiles({a, b, a}));
    const std::vector<test::Cells> listed = rows();

    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), merged);
    mergeInto("b.syx");
    EXPECT_EQ(read("b.syx"), merged);
    EXPECT_EQ(rows(), listed);
    EXPECT_EQ(files(), (QStringList{"a.syx", "b.syx", "out.syx"}));
}

TEST_F(MergeTest, MergeSkipsRowsWhoseFileIsGoneAndWritesAnEmptyFileWhenNoneIsLeft) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA"), write("b.syx", "BB"), write("c.syx", "CC")}));
    ASSERT_EQ(std::remove(path("b.syx").c_str()), 0);

    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), "AACC");

    ASSERT_EQ(std::remove(path("a.syx").c_str()), 0);
    ASSERT_EQ(std::remove(path("c.syx").c_str()), 0);
    mergeInto("empty.syx");
    EXPECT_EQ(files(), (QStringList{"empty.syx", "out.syx"}));
    EXPECT_EQ(read("empty.syx"), "");
}

TEST_F(MergeTest, EmptyListAsksNothingAndCancelledSaveCreatesNothing) {
    test::DialogAnswers answers({test::Cancel()});
    click("PushButton2");
    EXPECT_TRUE(answers.answered().empty());
    EXPECT_TRUE(files().isEmpty());

    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    click("PushButton2");
    EXPECT_EQ(answers.answered(), std::vector<std::string>{"QFileDialog"});
    EXPECT_EQ(files(), QStringList{"a.syx"});
}

TEST_F(MergeTest, FileNamedInOtherBytesThanUtf8IsAddedAndMerged) {
    const std::string file = write("caf\xE9.syx", "\xF0\x11\xF7");
    ASSERT_TRUE(dropFiles({file}));
    EXPECT_EQ(column(0), test::Cells{file});
    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), "\xF0\x11\xF7");
}

} // namespace
