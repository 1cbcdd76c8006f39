#include "framework/binary_stream.h"
#include "framework/due_yield.h"
#include "framework/scratch_folder.h"

#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using test::byteAt;
using test::pattern;

class BinaryStreamTest : public test::ScratchFolderTest {};

TEST_F(BinaryStreamTest, ReadByteYieldsEveryByteAsUnsignedAndZeroPastTheEnd) {
    write("in.syx", pattern(10000)); // several refills of the read buffer
    auto stream = item("in.syx")->OpenAsBinaryFile(false);
    for (std::size_t i = 0; i < 10000; ++i)
        ASSERT_EQ(stream->ReadByte(), byteAt(i)) << "at " << i;
    EXPECT_EQ(stream->ReadByte() + stream->ReadByte(), 0);
}

// Merging reads each input as a run of the file, copied when it is written; the run outlives its stream. A
// run whose file has shrunk since cannot arrive as it was read, and stops the output, whether it is read in
// (small) or copied by the kernel (large).
TEST_F(BinaryStreamTest, RunOfAFileIsWrittenAfterItsStreamWentButNotAfterItsFileShrank) {
    for (const std::size_t size : {std::size_t{1000}, std::size_t{1} << 20}) {
        write("in.syx", pattern(size));
        fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(test::kEverything);
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("head"));
        output->Write(run);
        output = nullptr;
        ASSERT_TRUE(read("out.syx") == "head" + pattern(size)) << size;
        EXPECT_TRUE(m_reports.empty());

        run = item("in.syx")->OpenAsBinaryFile(false)->Read(test::kEverything);
        ASSERT_EQ(::truncate(path("in.syx").c_str(), static_cast<off_t>(size / 2)), 0);
        output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(run);
        output->Write(fw::ByteString("end"));
        output = nullptr;
        EXPECT_TRUE(read("out.syx") == "head" + pattern(size)) << size;
        ASSERT_EQ(m_reports.size(), 1u) << size;
        EXPECT_NE(m_reports[0].find(path("in.syx") + "\" changed while it was being read, so \"" +
                                    path("out.syx") + "\" was not written."),
                  std::string::npos)
            << m_reports[0];
        m_reports.clear();
    }
}

// A small input is read in at once, straight after its length is asked, which is where its read begins: a
// change from there on may tear it, one before is read as it is then. The file's time is set back first, so
// that a write shows however coarse the file system's clock is.
TEST_F(BinaryStreamTest, SmallRunWhoseFileChangesOnceItsLengthWasAskedStopsTheOutput) {
    const auto truncateIt = [this] { return ::truncate(path("in.syx").c_str(), 500) == 0; };
    const auto overwriteIt = [this] {
        std::fstream(path("in.syx"), std::ios::binary | std::ios::in | std::ios::out) << "new";
        return true;
    };
    write("out.syx", "old");
    for (const auto& change : {std::function<bool()>(truncateIt), std::function<bool()>(overwriteIt)}) {
        write("in.syx", pattern(1000));
        const timespec longAgo[2] = {{946684800, 0}, {946684800, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path("in.syx").c_str(), longAgo, 0), 0);
        auto input = item("in.syx")->OpenAsBinaryFile(false);
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        ASSERT_EQ(input->Length(), 1000u);
        ASSERT_TRUE(change());
        output->Write(input->Read(1000));
        output = nullptr;
        EXPECT_EQ(read("out.syx"), "old");
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_NE(m_reports[0].find(path("in.syx") + "\" changed while it was being read"), std::string::npos)
            << m_reports[0];
        m_reports.clear();
    }

    auto input = item("in.syx")->OpenAsBinaryFile(false);
    ASSERT_TRUE(truncateIt());
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(input->Read(static_cast<std::int32_t>(input->Length())));
    output = nullptr;
    EXPECT_TRUE(read("out.syx") == "new" + pattern(500).substr(3));
    EXPECT_TRUE(m_reports.empty());
}

// A copy of a large input lets the window redraw while it runs: an event posted before the write runs before
// the write is over, and the copy still arrives whole.
TEST_F(BinaryStreamTest, LongCopyLetsWaitingEventsRunBetweenItsChunks) {
    write("in.syx", pattern(8 << 20));
    const fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(test::kEverything);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    bool writing = false;
    bool ranWhileWriting = false;
    QObject context; // an event that never ran goes with the test
    QTimer::singleShot(0, &context, [&] { ranWhileWriting = writing; });
    test::makeTheNextYieldDue();
    writing = true;
    output->Write(run);
    writing = false;
    output = nullptr;
    EXPECT_TRUE(ranWhileWriting);
    EXPECT_TRUE(read("out.syx") == pattern(8 << 20));
}

// An exception that ends a merge half way must not leave its partial output in place of the target, which may
// be one of the files being merged.
TEST_F(BinaryStreamTest, OutputReleasedWhileAnExceptionUnwindsIsDiscardedSilently) {
    write("out.syx", "old");
    try {
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("AA"));
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    EXPECT_TRUE(m_reports.empty());

    // A stream made while another exception was already unwinding still commits when released normally.
    struct MakesOutputWhileUnwinding {
        fw::Ref<fw::FolderItem> file;
        ~MakesOutputWhileUnwinding() {
            auto output = file->CreateBinaryFile("SysEx");
            output->Write(fw::ByteString("new"));
        }
    };
    try {
        MakesOutputWhileUnwinding making{item("out.syx")};
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(read("out.syx"), "new");
}

TEST_F(BinaryStreamTest, CreatedFileReplacesItsTargetOnlyOnReleaseKeepingItsModeAndMayReadTheOldContent) {
    write("out.syx", "old");
    ASSERT_EQ(::chmod(path("out.syx").c_str(), 0640), 0);
    auto input = item("out.syx")->OpenAsBinaryFile(false);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new "));
    output->Write(input->Read(test::kEverything));
    input = nullptr;
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(entries(), QStringList{"out.syx"}) << "the new file shows before it is complete";
    output = nullptr;

    EXPECT_EQ(read("out.syx"), "new old");
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    struct stat status {};
    ::stat(path("out.syx").c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(BinaryStreamTest, FailedCreateYieldsNilAndReportsOnceNamingFileAndCause) {
    write("plain", "a file, not a folder");
    EXPECT_FALSE(fw::FolderItem(path("plain/out.syx")).CreateBinaryFile("SysEx"));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("out.syx"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("Not a directory"), std::string::npos) << m_reports[0];
}

// The write fails on a file size limit, which stops it with EFBIG instead of filling a disk; the final
// replacement fails on a folder made in the target's place after the output was created.
TEST_F(BinaryStreamTest, FailedWriteOrFinalReplacementLeavesTheTargetAndReportsOnce) {
    write("out.syx", "old");
    auto stream = item("out.syx")->CreateBinaryFile("SysEx");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    const rlimit limit{16, previousLimit.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    stream->Write(fw::ByteString(std::string(32, 'x')));
    stream->Write(fw::ByteString(std::string(32, 'y')));
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);
    stream = nullptr;
    EXPECT_EQ(read("out.syx"), "old");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("File too large"), std::string::npos) << m_reports[0];

    stream = item("folder.syx")->CreateBinaryFile("SysEx");
    stream->Write(fw::ByteString("x"));
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("folder.syx/inside"));
    stream = nullptr;
    EXPECT_EQ(entries("folder.syx"), QStringList{"inside"});
    EXPECT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(entries(), (QStringList{"folder.syx", "out.syx"}));
}

// A small input is read in at once, a large one copied by the kernel; a disk error part way through either
// stops the output, and the later writes are ignored.
TEST_F(BinaryStreamTest, InputThatCannotBeReadToItsEndStopsTheOutputAndIsNamed) {
    write("out.syx", "old");
    for (const std::size_t size : {std::size_t{1000}, std::size_t{1} << 20}) {
        write("in.syx", pattern(size));
        faults::failReads(path("in.syx"), EIO, size / 2);
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("head"));
        output->Write(item("in.syx")->OpenAsBinaryFile(false)->Read(test::kEverything));
        output->Write(fw::ByteString("tail"));
        output = nullptr;
        EXPECT_EQ(read("out.syx"), "old");
        ASSERT_EQ(m_reports.size(), 1u) << size;
        EXPECT_NE(m_reports[0].find(path("in.syx") + "\" could not be read, so \"" + path("out.syx")),
                  std::string::npos)
            << m_reports[0];
        EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
        m_reports.clear();
        faults::clearFaults();
    }
    EXPECT_EQ(entries(), (QStringList{"in.syx", "out.syx"}));
}

// A disk may take the bytes and fail only when asked to keep them; the output must then not replace its
// target, which still holds what it held.
TEST_F(BinaryStreamTest, OutputTheDiskFailsToSyncLeavesTheTargetAndReportsWhy) {
    write("out.syx", "old");
    faults::failCalls("fdatasync", path(""), EIO);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new"));
    output = nullptr;
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
}

// A named pipe with no writer would block an ordinary open forever, so reaching the end at all is the point.
TEST_F(BinaryStreamTest, OpeningAnythingButARegularFileYieldsNil) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    for (const std::string& other : {path("pipe"), m_folder.path().toStdString(), std::string("/dev/null")}) {
        EXPECT_FALSE(fw::FolderItem(other).OpenAsBinaryFile(false)) << other;
        EXPECT_FALSE(fw::FolderItem(other).OpenAsBinaryFile(true)) << other;
    }
}

// An open stream's file tells its item's length, as that file grows; once the stream is released, the name is
// looked up again, whatever file has taken it since.
TEST_F(BinaryStreamTest, LengthIsTheOpenFilesAsItGrowsAndTheNamesAgainOnceTheStreamIsReleased) {
    write("in.syx", "AB");
    auto file = item("in.syx");
    auto stream = file->OpenAsBinaryFile(false);
    write("in.syx", "ABCD");
    EXPECT_EQ(file->Length(), 4u);

    stream = nullptr;
    write("new.syx", "ABCDEF");
    ASSERT_EQ(std::rename(path("new.syx").c_str(), path("in.syx").c_str()), 0);
    EXPECT_EQ(file->Length(), 6u);
}

TEST_F(BinaryStreamTest, NameThatIsNotUtf8AndLengthOverFourGiBComeBackAsTheSystemHoldsThem) {
    const std::string name = "caf\xE9.syx";
    constexpr std::uint64_t kFiveGiB = 5ull << 30;
    write(name, "\xF0");
    ASSERT_EQ(::truncate(path(name).c_str(), kFiveGiB), 0);
    auto item = fw::GetFolderItem(fw::GetFolderItem(path(name), 0)->AbsolutePath(), 0);
    EXPECT_EQ(item->Name(), name);
    EXPECT_EQ(item->Length(), kFiveGiB);
    auto stream = item->OpenAsBinaryFile(false);
    EXPECT_EQ(stream->Length(), kFiveGiB);
    EXPECT_EQ(stream->ReadByte(), 0xF0);
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(path(name).c_str());
}

} // namespace
