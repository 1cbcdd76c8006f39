#include "framework/binary_stream.h"
#include "framework/folder_item.h"
#include "framework/modal_dialogs.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int32_t everything = std::numeric_limits<std::int32_t>::max();

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
        std::ostringstream bytes;
        bytes << std::ifstream(path(name), std::ios::binary).rdbuf();
        return bytes.str();
    }
    QStringList entries() const {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_folder;
    std::vector<std::string> m_reports;
};

std::string noise(std::size_t length) {
    std::mt19937 generator(7);
    std::string bytes(length, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

TEST_F(BinaryStreamTest, ReadByteYieldsEveryByteAsUnsignedAndZeroPastTheEnd) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) // crosses several refills of the read buffer
        bytes.push_back(static_cast<char>(i % 256));
    write("in.syx", bytes);
    auto stream = item("in.syx")->OpenAsBinaryFile(false);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(stream->ReadByte(), i % 256) << "at " << i;
    EXPECT_EQ(stream->ReadByte(), 0);
    EXPECT_EQ(stream->ReadByte(), 0);
}

TEST_F(BinaryStreamTest, ReadTakesWhatRemainsAndStaysReadableAfterRelease) {
    write("in.syx", "abcde");
    auto stream = item("in.syx")->OpenAsBinaryFile(false);
    EXPECT_TRUE(stream->Read(0).empty());
    EXPECT_TRUE(stream->Read(-5).empty());
    EXPECT_EQ(stream->Read(2).bytes(), "ab");
    EXPECT_EQ(stream->ReadByte(), 'c');
    const fw::ByteString rest = stream->Read(100);
    EXPECT_TRUE(stream->Read(1).empty());
    stream = nullptr;
    EXPECT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest.bytes(), "de");
}

TEST_F(BinaryStreamTest, CreatedFileReplacesTargetOnlyWhenReleased) {
    const mode_t previousMask = ::umask(022);
    write("out.syx", "old");
    auto stream = item("out.syx")->CreateBinaryFile("SysEx");
    stream->Write(fw::ByteString("new "));
    stream->Write(fw::ByteString("content"));
    EXPECT_EQ(read("out.syx"), "old");
    stream = nullptr;
    ::umask(previousMask);

    EXPECT_EQ(read("out.syx"), "new content");
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    struct stat status {};
    ::stat(path("out.syx").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(BinaryStreamTest, MergingAFileIntoItselfKeepsItsOldContent) {
    write("out.syx", "old bytes");
    auto input = item("out.syx")->OpenAsBinaryFile(false);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(input->Read(everything));
    input = nullptr;
    output = nullptr;
    EXPECT_EQ(read("out.syx"), "old bytes");
}

TEST_F(BinaryStreamTest, CopiedRunOfALargeFileIsIdentical) {
    const std::string bytes = noise((3 << 20) + 123);
    write("in.syx", bytes);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("head"));
    const fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(everything);
    output->Write(run);
    output->Write(fw::ByteString("tail"));
    output = nullptr;
    EXPECT_TRUE(read("out.syx") == "head" + bytes + "tail");
    EXPECT_TRUE(run.bytes() == bytes);
}

TEST_F(BinaryStreamTest, CopyOfATruncatedSourceWritesOnlyWhatRemains) {
    const std::string bytes = noise(1 << 20);
    write("in.syx", bytes);
    const fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(everything);
    ASSERT_EQ(::truncate(path("in.syx").c_str(), 1000), 0);
    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(run);
    output->Write(fw::ByteString("end"));
    output = nullptr;
    EXPECT_TRUE(read("out.syx") == bytes.substr(0, 1000) + "end");
}

TEST_F(BinaryStreamTest, FailedCreateYieldsNilAndReportsOnce) {
    write("plain", "a file, not a folder");
    EXPECT_FALSE(fw::FolderItem(path("plain/out.syx")).CreateBinaryFile("SysEx"));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("out.syx"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("Not a directory"), std::string::npos) << m_reports[0];
}

TEST_F(BinaryStreamTest, FailedWriteLeavesTargetAndReportsOnce) {
    write("out.syx", "old");
    auto stream = item("out.syx")->CreateBinaryFile("SysEx");
    // A file size limit makes writes past it fail with EFBIG instead of filling a disk.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    rlimit limit = previousLimit;
    limit.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    stream->Write(fw::ByteString(std::string(32, 'x')));
    stream->Write(fw::ByteString(std::string(32, 'y')));
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);
    stream = nullptr;

    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("File too large"), std::string::npos) << m_reports[0];
}

TEST_F(BinaryStreamTest, FailedMoveRemovesTemporaryFileAndReportsOnce) {
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("out.syx/inside"));
    auto stream = item("out.syx")->CreateBinaryFile("SysEx");
    ASSERT_TRUE(stream);
    stream->Write(fw::ByteString("x"));
    stream = nullptr;
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    EXPECT_TRUE(QDir(QString::fromStdString(path("out.syx/inside"))).exists());
    EXPECT_EQ(m_reports.size(), 1u);
}

} // namespace
