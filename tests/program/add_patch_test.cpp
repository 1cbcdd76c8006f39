#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/open_watch.h"

#include <QFileDialog>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class AddPatchTest : public test::StartedProgram {};

// The row is read once, when the file is added: a later change must not show. The patch number is an
// unsigned byte, zero past the end; a size past 32 bits must not wrap; a name need not be UTF-8.
TEST_F(AddPatchTest, RowShowsPathNameSizeAndTheByteAtOffsetThreeAsTheFileWasWhenAdded) {
    const std::string odd = "caf\xE9 \xFF.syx";
    ASSERT_EQ(::truncate(write("huge.syx", "").c_str(), 5LL << 30), 0);
    const std::vector<std::string> files{write("0.syx", ""), write("3.syx", "\xF0\x01\x02"),
                                         write(odd, "\xF0\x01\x02\xC8\xF7"), path("huge.syx")};
    ASSERT_TRUE(dropFiles(files));
    write(odd, std::string("\xF0\x01\x02\x07\x00\x00", 6));

    EXPECT_EQ(rows(), (std::vector<test::Cells>{{files[0], "0.syx", "0 bytes", "0"},
                                                {files[1], "3.syx", "3 bytes", "0"},
                                                {files[2], odd, "5 bytes", "200"},
                                                {files[3], "huge.syx", "5368709120 bytes", "0"}}));
}

// A source told that its files were moved may delete them, so a drop is taken as a copy or not at all. A
// named pipe fails even for root, and is never opened: opening a device can have effects of its own.
TEST_F(AddPatchTest, DropAsACopyAddsEveryReadableLocalPatchFileInOrderEvenTwiceAndSkipsTheRest) {
    const std::string a = write("a.syx", "A");
    const std::string b = write("b.syx", "B");
    const std::string upper = write("C.SYX", "C");
    for (const char* name : {"notes.txt", "d.syx.txt"})
        write(name, "N");
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.syx"));
    ASSERT_EQ(::mkfifo(path("pipe.syx").c_str(), 0600), 0);
    const test::OpenWatch opens;
    ASSERT_TRUE(opens.watch(path("pipe.syx")));
    QByteArray list =
        "# a comment\r\nhttp://example.com" + QByteArray::fromStdString(a + "\r\nfile://host" + a);
    for (const char* name : {"a.syx", "missing.syx", "notes.txt", "b.syx", "folder.syx", "C.SYX", "d.syx.txt",
                             "a.syx", "pipe.syx", "b.syx"})
        list += "\r\nfile://" + QByteArray::fromStdString(path(name));

    EXPECT_EQ(drop(list, Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(drop("file://" + QByteArray::fromStdString(path("notes.txt")), Qt::CopyAction),
              Qt::IgnoreAction);
    EXPECT_EQ(drop(list, Qt::MoveAction | Qt::CopyAction), Qt::CopyAction);

    EXPECT_EQ(column(0), (test::Cells{a, b, upper, a, b}));
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
    EXPECT_EQ(column(0), test::Cells{file});
    EXPECT_TRUE(nothingEscaped());
}

} // namespace
