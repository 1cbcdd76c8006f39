#include "framework/binary_stream.h"
#include "framework/folder_item.h"
#include "framework/str.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

class FolderItemTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    QTemporaryDir m_folder;
};

TEST_F(FolderItemTest, GetFolderItemRejectsAnythingButAnAbsolutePathInAnExistingFolder) {
    EXPECT_FALSE(fw::GetFolderItem(path("a.syx"), 1));
    EXPECT_FALSE(fw::GetFolderItem("", 0));
    EXPECT_FALSE(fw::GetFolderItem("relative/a.syx", 0));
    EXPECT_FALSE(fw::GetFolderItem(path("a\0b.syx"s), 0));
    EXPECT_FALSE(fw::GetFolderItem(path("missing/a.syx"), 0));
}

TEST_F(FolderItemTest, GetFolderItemNamesAFileThatDoesNotExistYet) {
    auto item = fw::GetFolderItem(path("new.syx//"), 0);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->AbsolutePath(), path("new.syx"));
    EXPECT_EQ(item->Name(), "new.syx");
    EXPECT_FALSE(item->Exists());
    EXPECT_EQ(item->Length(), 0u);
    EXPECT_EQ(fw::GetFolderItem("/", 0)->AbsolutePath(), "/");
}

TEST_F(FolderItemTest, NameThatIsNotUtf8RoundTripsAndOpens) {
    const std::string name = "caf\xE9.syx";
    write(name, "\xF0\x7E");
    auto item = fw::GetFolderItem(fw::GetFolderItem(path(name), 0)->AbsolutePath(), 0);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name(), name);
    EXPECT_EQ(item->Length(), 2u);
    auto stream = item->OpenAsBinaryFile(false);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->ReadByte(), 0xF0);
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(path(name).c_str());
}

// A named pipe with no writer would block an ordinary open forever, so reaching the end at all is the point.
TEST_F(FolderItemTest, OpeningAnythingButARegularFileYieldsNil) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    for (const std::string& other : {path("pipe"), m_folder.path().toStdString(), std::string("/dev/null")}) {
        fw::FolderItem item(other);
        EXPECT_FALSE(item.OpenAsBinaryFile(false)) << other;
        EXPECT_FALSE(item.OpenAsBinaryFile(true)) << other;
    }
}

TEST_F(FolderItemTest, SparseFileOverFourGiBReportsItsFullLength) {
    constexpr std::uint64_t fiveGiB = 5ull << 30;
    write("big.syx", "");
    ASSERT_EQ(::truncate(path("big.syx").c_str(), fiveGiB), 0);
    auto item = fw::GetFolderItem(path("big.syx"), 0);
    EXPECT_EQ(item->Length(), fiveGiB);
    EXPECT_EQ(item->OpenAsBinaryFile(false)->Length(), fiveGiB);
}

TEST(Str, WritesPlainDecimalAtTheLimits) {
    EXPECT_EQ(fw::Str(std::numeric_limits<std::int32_t>::min()), "-2147483648");
    EXPECT_EQ(fw::Str(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
}

} // namespace
