#include "program/started_program.h"

#include "framework/dialog_answers.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

class MergeTest : public test::StartedProgram {
protected:
    // Clicks the merge button and saves to the named file, replacing it if asked.
    void mergeInto(const std::string& name) {
        std::vector<test::Answer> answers{test::TypePath(path(name))};
        if (QFileInfo::exists(QString::fromStdString(path(name))))
            answers.push_back(test::Press(QMessageBox::Yes));
        test::DialogAnswers dialogs(answers);
        clickButton("PushButton2");
    }

    QStringList files() const {
        return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

TEST_F(MergeTest, MergeWritesEveryRowInListOrderAndLeavesTheListAsItWas) {
    const std::string a = write("a.syx", std::string("\xF0\x00\x01\xF7", 4));
    const std::string b = write("b.syx", "\xF0\x02\xF7");
    ASSERT_TRUE(dropFiles({a, b, a}));
    const std::vector<std::string> firstRow = row(0);

    mergeInto("out.syx");

    EXPECT_EQ(read("out.syx"), read("a.syx") + read("b.syx") + read("a.syx"));
    ASSERT_EQ(rowCount(), 3);
    EXPECT_EQ(row(0), firstRow);
    EXPECT_EQ(row(2)[0], a);
}

TEST_F(MergeTest, MergeSkipsRowsWhoseFileWasDeleted) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA"), write("b.syx", "BB"), write("c.syx", "CC")}));
    ASSERT_EQ(std::remove(path("b.syx").c_str()), 0);

    mergeInto("out.syx");

    EXPECT_EQ(read("out.syx"), "AACC");
}

TEST_F(MergeTest, MergeWithNoFileLeftCreatesAnEmptyFile) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    ASSERT_EQ(std::remove(path("a.syx").c_str()), 0);

    mergeInto("out.syx");

    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(path("out.syx"))));
    EXPECT_EQ(read("out.syx"), "");
}

TEST_F(MergeTest, EmptyListShowsNoDialog) {
    test::DialogAnswers none({});
    clickButton("PushButton2");
    EXPECT_TRUE(none.answered().empty());
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(MergeTest, CancelledSaveCreatesNothing) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    {
        test::DialogAnswers answers({test::Cancel()});
        clickButton("PushButton2");
    }
    EXPECT_EQ(files(), QStringList{"a.syx"});
}

TEST_F(MergeTest, MergeIntoAListedFileReadsItAsItWas) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA"), write("b.syx", "BB")}));

    mergeInto("b.syx");

    EXPECT_EQ(read("b.syx"), "AABB");
    EXPECT_EQ(files(), (QStringList{"a.syx", "b.syx"}));
}

TEST_F(MergeTest, FileNamedInOtherBytesThanUtf8IsAddedAndMerged) {
    const std::string name = "caf\xE9.syx";
    const std::string file = write(name, "\xF0\x11\xF7");
    ASSERT_TRUE(dropFiles({file}));
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0)[0], file);

    mergeInto("out.syx");

    EXPECT_EQ(read("out.syx"), "\xF0\x11\xF7");
}

} // namespace
