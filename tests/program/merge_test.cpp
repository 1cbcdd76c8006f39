#include "program/started_program.h"

#include "faults/faults.h"
#include "framework/binary_stream.h"
#include "framework/dialog_answers.h"
#include "framework/folder_item.h"
#include "framework/scratch_folder.h"

#include <QDateTime>
#include <QLineEdit>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using test::pattern;

class MergeTest : public test::StartedProgram {
protected:
    void TearDown() override {
        faults::clearFaults();
        test::StartedProgram::TearDown();
    }

    // Clicks the merge button, saves to the named file, agreeing to replace it if it exists, and presses OK
    // on the report that follows; the report's text.
    std::string mergeRefused(const std::string& name) const {
        std::string report;
        std::vector<test::Answer> answers{test::TypePath(path(name))};
        if (::access(path(name).c_str(), F_OK) == 0)
            answers.push_back(test::Press(QMessageBox::Yes));
        answers.push_back([&report](QDialog& dialog) {
            const auto* box = qobject_cast<QMessageBox*>(&dialog);
            report = box ? (box->text() + "\n" + box->informativeText()).toStdString() : "not a report";
            test::Press(QMessageBox::Ok)(dialog);
        });
        test::DialogAnswers dialogs(answers);
        click("PushButton2");
        return report;
    }
    mode_t typeOf(const std::string& name) const {
        struct stat status {};
        ::lstat(path(name).c_str(), &status);
        return status.st_mode & S_IFMT;
    }
};

// The merge's loop for an input of 2 GiB or more, driven with runs small enough for a test.
struct RunsOfAnySize : Window1 {
    using Window1::copyWhole;
};

// Three different files, listed out of name order, so that any other order shows; merging into a listed file
// must read that file as it was, not the output being written over it.
TEST_F(MergeTest, MergeWritesEveryRowInListOrderEvenIntoAListedFileAndLeavesTheList) {
    const std::string a = write("a.syx", std::string("\xF0\x00\x01\xF7", 4));
    const std::string b = write("b.syx", "\xF0\x02\xF7");
    const std::string c = write("c.syx", "\xF0\x03\x04\x05\xF7");
    const std::string merged = read("b.syx") + read("c.syx") + read("a.syx");
    ASSERT_TRUE(dropFiles({b, c, a}));
    const std::vector<test::Cells> listed = rows();

    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), merged);
    mergeInto("c.syx");
    EXPECT_EQ(read("c.syx"), merged);
    EXPECT_EQ(rows(), listed);
    EXPECT_EQ(files(), (QStringList{"a.syx", "b.syx", "c.syx", "out.syx"}));
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

// The file of that name in the working folder, where the dialogs open: whether it is there, its size and
// time, to see that it was neither made nor replaced. Only that file: the folder is anyone's, and other
// programs may be writing to it meanwhile.
QString inWorkingFolder(const QString& name) {
    const QFileInfo file(QDir::current().filePath(name));
    if (!file.exists())
        return "none";
    return QString::number(file.size()) + " " + file.lastModified().toString(Qt::ISODateWithMs);
}

// Backing out of the save dialog, with or without a name typed, writes nothing: neither where the name was
// typed nor in the folder the dialog opened in, under the name it suggested.
TEST_F(MergeTest, EmptyListAsksNothingAndACancelledSaveOfTheSuggestedNameWritesNothingAnywhere) {
    test::DialogAnswers none({});
    click("PushButton2");
    EXPECT_TRUE(none.answered().empty());

    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    const QString suggestedFile = inWorkingFolder("merged_patches.syx");
    QString suggested;
    test::DialogAnswers answers({[&](QDialog& dialog) {
                                     suggested = dialog.findChild<QLineEdit*>("fileNameEdit")->text();
                                     dialog.reject();
                                 },
                                 test::CancelAfterTyping(path("out.syx"))});
    click("PushButton2");
    click("PushButton2");
    EXPECT_EQ(suggested, "merged_patches.syx");
    EXPECT_EQ(files(), QStringList{"a.syx"});
    EXPECT_EQ(inWorkingFolder("merged_patches.syx"), suggestedFile);
    EXPECT_TRUE(nothingEscaped());
}

TEST_F(MergeTest, FileNamedInOtherBytesThanUtf8IsAddedAndMerged) {
    const std::string file = write("caf\xE9.syx", "\xF0\x11\xF7");
    ASSERT_TRUE(dropFiles({file}));
    EXPECT_EQ(column(0), test::Cells{file});
    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), "\xF0\x11\xF7");
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(file.c_str());
}

// Choosing a named pipe would block the merge, a device would be swapped for an ordinary file.
TEST_F(MergeTest, MergeIntoAPipeOrADeviceIsRefusedAndLeavesItWhatItWas) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    ASSERT_EQ(::mkfifo(path("pipe.syx").c_str(), 0600), 0);
    const bool deviceMade = ::mknod(path("device.syx").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::string deviceRefused = std::strerror(errno);
    const QStringList before = files();
    for (const std::string name : {"pipe.syx", "device.syx"}) {
        if (name == "device.syx" && !deviceMade)
            continue;
        const std::string report = mergeRefused(name);
        EXPECT_NE(report.find(path(name) + "\" could not be written"), std::string::npos) << report;
        EXPECT_NE(report.find("not a regular file"), std::string::npos) << report;
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(typeOf("pipe.syx"), S_IFIFO);
    if (!deviceMade)
        GTEST_SKIP() << "no device node could be made here (" << deviceRefused << "); the pipe passed";
    EXPECT_EQ(typeOf("device.syx"), S_IFCHR);
}

TEST_F(MergeTest, MergeThroughALinkToAFileNotYetThereWritesThatFileAndKeepsTheLink) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    ASSERT_EQ(::symlink("merged.syx", path("link.syx").c_str()), 0);
    mergeInto("link.syx");
    EXPECT_EQ(read("merged.syx"), "AA");
    EXPECT_EQ(typeOf("link.syx"), S_IFLNK);
}

TEST_F(MergeTest, MergeStopsAtAnInputThatCannotBeReadAndNamesIt) {
    ASSERT_TRUE(dropFiles({write("a.syx", "AA"), write("b.syx", "BBBB"), write("c.syx", "CC")}));
    write("out.syx", "old");
    faults::failReads(path("b.syx"), EIO, 2);
    const std::string report = mergeRefused("out.syx");
    EXPECT_NE(report.find(path("b.syx") + "\" could not be read"), std::string::npos) << report;
    EXPECT_NE(report.find("Input/output error"), std::string::npos) << report;
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(files(), (QStringList{"a.syx", "b.syx", "c.syx", "out.syx"}));
}

// Runs below and above the size that is read in at once rather than copied; a failed run that yields no
// bytes at all still stops the output.
TEST_F(MergeTest, InputLargerThanTheLargestReadGoesInRunsToItsLastByte) {
    const std::string input = write("in.syx", pattern(200003));
    for (const std::int32_t runSize : {1000, 100000}) {
        auto output = fw::GetFolderItem(path("out.syx"), 0)->CreateBinaryFile("");
        RunsOfAnySize::copyWhole(*fw::GetFolderItem(input, 0)->OpenAsBinaryFile(false), *output, runSize);
        output = nullptr;
        EXPECT_TRUE(read("out.syx") == pattern(200003)) << runSize;
    }

    faults::failReads(input, EIO, 150000);
    std::string report;
    test::DialogAnswers dialogs({[&report](QDialog& dialog) {
        report = qobject_cast<QMessageBox*>(&dialog)->text().toStdString();
        dialog.reject();
    }});
    auto output = fw::GetFolderItem(path("out.syx"), 0)->CreateBinaryFile("");
    RunsOfAnySize::copyWhole(*fw::GetFolderItem(input, 0)->OpenAsBinaryFile(false), *output, 1000);
    output = nullptr;
    EXPECT_NE(report.find(input + "\" could not be read"), std::string::npos) << report;
    EXPECT_TRUE(read("out.syx") == pattern(200003));
}

// A sparse input, so only the output's bytes are really written: in memory where /dev/shm has room, since
// syncing 2 GiB to a disk takes long on a small machine. Exactly 2 GiB is the first size that no single read
// can take; one pair of files at a time.
TEST_F(MergeTest, InputOfTwoGiBAndMoreArrivesWholeToItsLastBytes) {
    constexpr std::uint64_t kTwoGiB = std::uint64_t{1} << 31;
    constexpr std::uint64_t kRoom = (kTwoGiB + 5) * 5 / 4;
    const auto freeBytes = [](const char* folder) {
        struct statvfs status {};
        return ::statvfs(folder, &status) == 0 ? std::uint64_t{status.f_bavail} * status.f_frsize : 0;
    };
    QTemporaryDir inMemory("/dev/shm/wrenfold_tests-XXXXXX");
    const std::string folder = inMemory.isValid() && freeBytes("/dev/shm") > kRoom
                                   ? inMemory.path().toStdString()
                                   : m_folder.path().toStdString();
    if (freeBytes(folder.c_str()) < kRoom)
        GTEST_SKIP() << "no room for a 2 GiB output in " << folder;
    const std::string input = folder + "/in.syx";
    const std::string output = folder + "/out.syx";
    for (const std::uint64_t size : {kTwoGiB, kTwoGiB + 5}) {
        std::ofstream(input, std::ios::binary).close();
        ASSERT_EQ(::truncate(input.c_str(), static_cast<off_t>(size - 5)), 0);
        std::ofstream(input, std::ios::binary | std::ios::app) << "\xF0tail";

        auto stream = fw::GetFolderItem(output, 0)->CreateBinaryFile("");
        RunsOfAnySize::copyWhole(*fw::GetFolderItem(input, 0)->OpenAsBinaryFile(false), *stream);
        stream = nullptr;
        std::ifstream merged(output, std::ios::binary | std::ios::ate);
        EXPECT_EQ(static_cast<std::uint64_t>(merged.tellg()), size) << "bytes merged";
        std::string last(6, '\0');
        merged.seekg(-6, std::ios::end);
        merged.read(last.data(), 6);
        EXPECT_EQ(last, std::string("\0\xF0tail", 6)) << size;
        ::unlink(input.c_str());
        ::unlink(output.c_str());
    }
}

} // namespace
