#include "framework/binary_stream.h"
#include "framework/folder_item.h"
#include "framework/modal_dialogs.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int32_t everything = 0x7FFFFFFF;

// Every byte value in each run of 256, in an order that differs from run to run, so that sign faults and
// shifted offsets both show.
constexpr auto byteAt = [](std::size_t i) { return static_cast<int>((i ^ (i >> 8)) & 0xFF); };
std::string pattern(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(byteAt(i));
    return bytes;
}

// A folder of its own, and every error report the streams show, answered at once.
class BinaryStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::ModalDialogs::setAnswerer([this](QDialog& dialog) {
            const auto* box = qobject_cast<QMessageBox*>(&dialog);
            m_reports.push_back(box ? (box->text() + "\n" + box->informativeText()).toStdString() : "");
            dialog.reject();
        });
    }
    void TearDown() override { fw::ModalDialogs::setAnswerer({}); }

    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    fw::Ref<fw::FolderItem> item(const std::string& name) const { return fw::GetFolderItem(path(name), 0); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    QStringList entries() const {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_folder;
    std::vector<std::string> m_reports;
};

TEST_F(BinaryStreamTest, ReadByteYieldsEveryByteAsUnsignedAndZeroPastTheEnd) {
    write("in.syx", pattern(10000)); // several refills of the read buffer
    auto stream = item("in.syx")->OpenAsBinaryFile(false);
    for (std::size_t i = 0; i < 10000; ++i)
        ASSERT_EQ(stream->ReadByte(), byteAt(i)) << "at " << i;
    EXPECT_EQ(stream->ReadByte() + stream->ReadByte(), 0);
}

// Merging reads each input as a run of the file; the run outlives its stream, and a source that shrinks in
// the meantime gives only what is left.
TEST_F(BinaryStreamTest, RunOfAFileIsWrittenAfterItsStreamWentAndOnlyAsFarAsTheFileStillGoes) {
    write("in.syx", pattern(1 << 20));
    fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(everything);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("head"));
    output->Write(run);
    ASSERT_EQ(::truncate(path("in.syx").c_str(), 1000), 0);
    output->Write(run);
    output->Write(fw::ByteString("end"));
    output = nullptr;
    EXPECT_TRUE(read("out.syx") == "head" + pattern(1 << 20) + pattern(1000) + "end");
}

TEST_F(BinaryStreamTest, CreatedFileReplacesItsTargetOnlyOnReleaseKeepingItsModeAndMayReadTheOldContent) {
    write("out.syx", "old");
    ASSERT_EQ(::chmod(path("out.syx").c_str(), 0640), 0);
    auto input = item("out.syx")->OpenAsBinaryFile(false);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new "));
    output->Write(input->Read(everything));
    input = nullptr;
    EXPECT_EQ(read("out.syx"), "old");
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

// The write fails on a file size limit, which stops it with EFBIG instead of filling a disk; the final move
// fails on a folder in the target's place.
TEST_F(BinaryStreamTest, FailedWriteOrFinalMoveLeavesTheTargetRemovesTheTemporaryFileAndReportsOnce) {
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

    ASSERT_TRUE(QDir(m_folder.path()).mkpath("folder.syx/inside"));
    stream = item("folder.syx")->CreateBinaryFile("SysEx");
    stream->Write(fw::ByteString("x"));
    stream = nullptr;
    EXPECT_TRUE(QDir(QString::fromStdString(path("folder.syx/inside"))).exists());
    EXPECT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(entries(), (QStringList{"folder.syx", "out.syx"}));
}

// A named pipe with no writer would block an ordinary open forever, so reaching the end at all is the point.
TEST_F(BinaryStreamTest, OpeningAnythingButARegularFileYieldsNil) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    for (const std::string& other : {path("pipe"), m_folder.path().toStdString(), std::string("/dev/null")}) {
        EXPECT_FALSE(fw::FolderItem(other).OpenAsBinaryFile(false)) << other;
        EXPECT_FALSE(fw::FolderItem(other).OpenAsBinaryFile(true)) << other;
    }
}

TEST_F(BinaryStreamTest, NameThatIsNotUtf8AndLengthOverFourGiBComeBackAsTheSystemHoldsThem) {
    const std::string name = "caf\xE9.syx";
    constexpr std::uint64_t fiveGiB = 5ull << 30;
    write(name, "\xF0");
    ASSERT_EQ(::truncate(path(name).c_str(), fiveGiB), 0);
    auto item = fw::GetFolderItem(fw::GetFolderItem(path(name), 0)->AbsolutePath(), 0);
    EXPECT_EQ(item->Name(), name);
    EXPECT_EQ(item->Length(), fiveGiB);
    auto stream = item->OpenAsBinaryFile(false);
    EXPECT_EQ(stream->Length(), fiveGiB);
    EXPECT_EQ(stream->ReadByte(), 0xF0);
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(path(name).c_str());
}

} // namespace
