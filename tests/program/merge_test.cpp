#include "program/started_program.h"

#include "faults/faults.h"
#include "framework/binary_stream.h"
#include "framework/dialog_answers.h"
#include "framework/scratch_folder.h"

#include <QDateTime>
#include <QLineEdit>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/statvfs.h>

namespace {

class MergeTest : public test::StartedProgram {};

// The merge's loop for an input of 2 GiB or more, driven with runs small enough for a test.
struct RunsOfAnySize : Window1 {
    using Window1::copyWhole;
};

// Three different files, listed out of name order, so that any other order shows, one of them named in other
// bytes than UTF-8; merging into a listed file must read that file as it was, not the output written over it.
TEST_F(MergeTest, MergeWritesEveryRowInListOrderEvenIntoAListedFileAndSkipsRowsWhoseFileIsGone) {
    const std::string a = write("caf\xE9.syx", std::string("\xF0\x00\x01\xF7", 4));
    const std::string b = write("b.syx", "\xF0\x02\xF7");
    const std::string c = write("c.syx", "\xF0\x03\x04\x05\xF7");
    const std::string merged = read("b.syx") + read("c.syx") + read("caf\xE9.syx");
    ASSERT_TRUE(dropFiles({b, c, a}));
    const std::vector<test::Cells> listed = rows();

    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), merged);
    mergeInto("c.syx");
    EXPECT_EQ(read("c.syx"), merged);
    EXPECT_EQ(rows(), listed);

    ASSERT_EQ(std::remove(b.c_str()), 0);
    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), merged + read("caf\xE9.syx"));
    ASSERT_EQ(std::remove(a.c_str()) + std::remove(c.c_str()), 0);
    mergeInto("out.syx");
    EXPECT_EQ(read("out.syx"), "");
    EXPECT_EQ(files(), QStringList{"out.syx"});
}

// Backing out of the save dialog, with or without a name typed, writes nothing: neither where the name was
// typed nor under the suggested name in the working folder (only that file: others may write to the folder).
TEST_F(MergeTest, EmptyListAsksNothingAndACancelledSaveWritesNothingAnywhere) {
    test::DialogAnswers none({});
    click("PushButton2");
    EXPECT_TRUE(none.answered().empty());

    ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    const QString suggestedFile = QDir::current().filePath("merged_patches.syx");
    const QDateTime before = QFileInfo(suggestedFile).lastModified();
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
    EXPECT_EQ(QFileInfo(suggestedFile).lastModified(), before);
    EXPECT_TRUE(nothingEscaped());
}

// The input is a hole and then a pattern, so that only its tail is really written: in memory where /dev/shm
// has room, since syncing 2 GiB to a disk takes long. Runs of at most 64 KiB are read in, larger ones copied
// by the kernel, and 2 GiB is the first size that no single read can take. A disk error part way through
// stops the output and names the input, also where the failed run yields no bytes at all.
TEST_F(MergeTest, InputLargerThanTheLargestReadGoesInRunsToItsLastByteOrStopsWhereItCannotBeRead) {
    constexpr std::uint64_t kTwoGiB = std::uint64_t{1} << 31;
    constexpr std::size_t kTail = 200003;
    const auto hasRoom = [](const std::string& folder) {
        struct statvfs status {};
        return ::statvfs(folder.c_str(), &status) == 0 &&
               std::uint64_t{status.f_bavail} * status.f_frsize > (kTwoGiB + 5) * 5 / 4;
    };
    QTemporaryDir inMemory("/dev/shm/wrenfold_tests-XXXXXX");
    const std::string folder = inMemory.isValid() && hasRoom("/dev/shm") ? inMemory.path().toStdString()
                                                                         : m_folder.path().toStdString();
    const std::string input = folder + "/in.syx";
    const std::string output = folder + "/out.syx";
    const std::pair<std::uint64_t, std::int32_t> cases[] = {
        {kTail, 1000}, {kTail, 100000}, {kTwoGiB, test::kEverything}, {kTwoGiB + 5, test::kEverything}};
    for (const auto& [size, largestRead] : cases) {
        if (size > kTail && !hasRoom(folder))
            GTEST_SKIP() << "no room for a 2 GiB output in " << folder;
        std::ofstream(input, std::ios::binary).seekp(static_cast<std::streamoff>(size - kTail))
            << test::pattern(kTail);
        const auto merge = [&] {
            std::ofstream(output) << "old";
            RunsOfAnySize::copyWhole(*fw::GetFolderItem(input, 0)->OpenAsBinaryFile(false),
                                     *fw::GetFolderItem(output, 0)->CreateBinaryFile(""), largestRead);
        };
        merge();
        std::ifstream merged(output, std::ios::binary | std::ios::ate);
        EXPECT_EQ(static_cast<std::uint64_t>(merged.tellg()), size);
        std::string tail(kTail, '\0');
        merged.seekg(-static_cast<std::streamoff>(kTail), std::ios::end).read(tail.data(), kTail);
        EXPECT_TRUE(tail == test::pattern(kTail)) << size << " bytes in runs of " << largestRead;
        if (size > kTail)
            continue;

        faults::failReads(input, EIO, 150000);
        std::string report;
        test::DialogAnswers dialogs({[&report](QDialog& dialog) {
            report = qobject_cast<QMessageBox*>(&dialog)->text().toStdString();
            dialog.reject();
        }});
        merge();
        faults::clearFaults();
        EXPECT_EQ(std::filesystem::file_size(output), 3u) << "not left as it was: runs of " << largestRead;
        EXPECT_NE(report.find(input + "\" could not be read"), std::string::npos) << report;
    }
}

} // namespace
