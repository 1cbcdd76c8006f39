#include "framework/output_file.h"

#include "faults/faults.h"
#include "framework/binary_stream.h"
#include "framework/file_attributes.h"
#include "framework/scratch_folder.h"

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {

// The allocation this many allocations from now, on this thread, throws; the count is -1 after that.
thread_local int allocationsLeft = -1;

} // namespace

// Allocations fail from outside the framework. Each scalar form is replaced, so that what one allocates
// another may free, under AddressSanitizer too; the array forms keep to themselves.
void* operator new(std::size_t size) {
    if (allocationsLeft >= 0 && allocationsLeft-- == 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
namespace {

long openDescriptors() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }

class OutputFileTest : public test::ScratchFolderTest {
protected:
    mode_t typeOf(const std::string& name) const {
        struct stat status {};
        ::lstat(path(name).c_str(), &status);
        return status.st_mode & S_IFMT;
    }
    // Whether the output could be made; what went wrong after that is in m_reports.
    bool save(const std::string& name, const std::string& bytes) const {
        auto output = item(name)->CreateBinaryFile("SysEx");
        if (output)
            output->Write(fw::ByteString(bytes));
        return output != nullptr;
    }
    // A pipe put in place of a file, a link in place of a folder, and a name taken, each while its output is
    // written: each is reported and left as it is.
    void changeTargetsWhileWritten(const std::string& at) {
        write(at + "out.syx", "old");
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path(at + "folder"))));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path(at + "elsewhere"))));
        const long descriptors = openDescriptors();
        auto replaced = item(at + "out.syx")->CreateBinaryFile("SysEx");
        auto moved = item(at + "folder/new.syx")->CreateBinaryFile("SysEx");
        auto taken = item(at + "twice.syx")->CreateBinaryFile("SysEx");
        taken->Write(fw::ByteString("second"));
        ASSERT_TRUE(::unlink(path(at + "out.syx").c_str()) == 0 &&
                    ::mkfifo(path(at + "out.syx").c_str(), 0600) == 0);
        ASSERT_EQ(::rename(path(at + "folder").c_str(), path(at + "moved").c_str()), 0);
        ASSERT_EQ(::symlink("elsewhere", path(at + "folder").c_str()), 0);
        ASSERT_TRUE(save(at + "twice.syx", "first"));
        replaced = moved = taken = nullptr;

        ASSERT_EQ(m_reports.size(), 3u);
        for (const std::string& report : m_reports)
            EXPECT_NE(report.find("was left as it was"), std::string::npos) << report;
        EXPECT_EQ(typeOf(at + "out.syx"), S_IFIFO);
        EXPECT_EQ(read(at + "twice.syx"), "first");
        EXPECT_EQ(entries(at + "elsewhere") + entries(at + "moved"), QStringList{});
        EXPECT_EQ(entries(at), (QStringList{"elsewhere", "folder", "moved", "out.syx", "twice.syx"}));
        EXPECT_EQ(openDescriptors(), descriptors);
    }
};

// Only root may make a device and plant a link as another user in a shared folder, as in /tmp, which the
// kernel follows for nobody else: neither the file it leads to nor one it would make is written.
TEST_F(OutputFileTest, TargetThatMustNotBeReplacedIsRefusedUntouchedAndNothingIsMade) {
    std::vector<std::pair<std::string, std::string>> refusals{
        {"pipe", "It is a named pipe, not a regular file"},
        {"folder", "It is a folder, not a regular file"},
        {"socket", "It is a socket, not a regular file"},
        {"loop", "Too many levels of symbolic links"},
        {".", "It is a folder, not a regular file"}};
    ASSERT_TRUE(::mkfifo(path("pipe").c_str(), 0600) == 0 && ::mkdir(path("folder").c_str(), 0700) == 0);
    ASSERT_EQ(::symlink("loop", path("loop").c_str()), 0);
    sockaddr_un address{AF_UNIX, {}};
    path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
    write("root.syx", "kept");
    if (::geteuid() == 0) {
        ASSERT_EQ(::mknod(path("device").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        ASSERT_TRUE(::mkdir(path("shared").c_str(), 0700) == 0 &&
                    ::chmod(path("shared").c_str(), 01777) == 0);
        ASSERT_EQ(::symlink("../root.syx", path("shared/planted.syx").c_str()), 0);
        ASSERT_EQ(::symlink("../made.syx", path("shared/dangling.syx").c_str()), 0);
        for (const std::string name : {"shared/planted.syx", "shared/dangling.syx"}) {
            ASSERT_EQ(::lchown(path(name).c_str(), test::kNobody, test::kNobody), 0) << name;
            refusals.emplace_back(name, "Permission denied");
        }
        refusals.emplace_back("device", "It is a device, not a regular file");
    }
    const QStringList before = entries();
    const long descriptors = openDescriptors();

    for (const auto& [name, reason] : refusals) {
        m_reports.clear();
        EXPECT_FALSE(save(name, "new")) << name;
        ASSERT_EQ(m_reports.size(), 1u) << name;
        EXPECT_NE(m_reports[0].find(path(name) + "\" could not be written"), std::string::npos)
            << m_reports[0];
        EXPECT_NE(m_reports[0].find(reason), std::string::npos) << m_reports[0];
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(typeOf("pipe"), S_IFIFO);
    EXPECT_EQ(typeOf("socket"), S_IFSOCK);
    EXPECT_EQ(read("root.syx"), "kept");
    EXPECT_TRUE(::geteuid() != 0 || typeOf("device") == S_IFCHR);
}

// The kernel, not the path's text, says where a name leads: a name in other bytes than UTF-8 is that name, a
// link to a file not yet there makes it, and "../" in a link leads up from the folder the link really is in.
TEST_F(OutputFileTest, LinkIsFollowedAsTheKernelFollowsItAndStaysALink) {
    const std::string latin1 = "caf\xE9.syx";
    write(latin1, "old");
    ASSERT_EQ(::chmod(path(latin1).c_str(), 0640), 0);
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("real/deep"));
    ASSERT_EQ(::symlink(latin1.c_str(), path("link.syx").c_str()), 0);
    ASSERT_EQ(::symlink("real/new.syx", path("dangling.syx").c_str()), 0);
    ASSERT_EQ(::symlink("missing/new.syx", path("lost.syx").c_str()), 0);
    ASSERT_EQ(::symlink("real/deep", path("linked").c_str()), 0);
    ASSERT_EQ(::symlink("../up.syx", path("real/deep/up.syx").c_str()), 0);

    for (const auto& [name, target] :
         std::vector<std::pair<std::string, std::string>>{{"link.syx", latin1},
                                                          {latin1, latin1},
                                                          {"dangling.syx", "real/new.syx"},
                                                          {"linked/up.syx", "real/up.syx"},
                                                          {"linked/up.syx", "real/up.syx"}}) {
        EXPECT_TRUE(save(name, "through " + name)) << name;
        EXPECT_EQ(read(target), "through " + name) << name;
    }
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];
    EXPECT_FALSE(save("lost.syx", "new"));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("No such file or directory"), std::string::npos) << m_reports[0];
    struct stat status {};
    ::stat(path(latin1).c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(typeOf("link.syx"), S_IFLNK);
    EXPECT_EQ(typeOf("dangling.syx"), S_IFLNK);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("")), {}), 6);
    EXPECT_EQ(entries("real"), (QStringList{"deep", "new.syx", "up.syx"}));
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(path(latin1).c_str());
}

TEST_F(OutputFileTest, FileOrFolderThatTheUserMayNotWriteIsRefusedAndLeftAsItWas) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may become an ordinary user, which root may write anything for";
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("open") && QDir(m_folder.path()).mkdir("closed"));
    write("open/protected.syx", "kept");
    write("closed/writable.syx", "kept");
    ASSERT_TRUE(::chmod(path("open/protected.syx").c_str(), 0444) == 0 &&
                ::chmod(path("closed").c_str(), 0555) == 0);
    ASSERT_EQ(::chmod(path("").c_str(), 0755), 0);
    for (const std::string name : {"open", "closed", "open/protected.syx", "closed/writable.syx"})
        ASSERT_EQ(::chown(path(name).c_str(), test::kNobody, test::kNobody), 0) << name;

    EXPECT_EQ(
        test::asNobody([this] {
            std::string said;
            for (const std::string name : {"open/protected.syx", "closed/writable.syx", "closed/new.syx"}) {
                fw::FileFailure refusal;
                said += (fw::OutputFile::open(path(name), std::nullopt, refusal) ? "opened" : refusal.reason);
                said += "\n";
            }
            return said;
        }),
        "The file is not writable: Permission denied\n"
        "The file is writable, but its folder is not: Permission denied\n"
        "Its folder is not writable: Permission denied\n");
    EXPECT_EQ(read("open/protected.syx") + read("closed/writable.syx"), "keptkept");
    EXPECT_EQ(entries("open") + entries("closed"), (QStringList{"protected.syx", "writable.syx"}));
}

// The output is written into a file without a name, so a writer killed at any point leaves nothing behind.
TEST_F(OutputFileTest, WriterKilledWhileWritingLeavesTheFolderAsItWas) {
    write("out.syx", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("new"));
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(entries(), QStringList{"out.syx"});
    EXPECT_EQ(read("out.syx"), "old");
}

// The target is looked at again before the new file takes its place: a file that is no longer the one the
// output was made for, or a name that has been taken meanwhile, is left as it is.
TEST_F(OutputFileTest, TargetChangedWhileTheOutputWasWrittenIsLeftAsItWas) { changeTargetsWhileWritten(""); }

// Only the folder is opened by its path, and the new file's temporary name is short, so a file whose name or
// path takes all the room there is can still be replaced.
TEST_F(OutputFileTest, FileWithTheLongestNameOrPathIsReplaced) {
    std::string deep;
    while (path(deep).size() + 1 + 200 + 1 + 200 < PATH_MAX) {
        deep += (deep.empty() ? "" : "/") + std::string(200, 'd');
        ASSERT_EQ(::mkdir(path(deep).c_str(), 0700), 0) << std::strerror(errno);
    }
    const std::string deepest = deep + "/" + std::string(PATH_MAX - 1 - path(deep).size() - 1, 'f');
    ASSERT_EQ(path(deepest).size(), PATH_MAX - 1u);
    for (const std::string& name : {std::string(255, 'n'), deepest}) {
        write(name, "old");
        EXPECT_TRUE(save(name, "new")) << name.size();
        EXPECT_EQ(read(name), "new") << name.size();
    }
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];
    EXPECT_EQ(entries().size() + entries(deep).size(), 3);
}

// Each allocation made while the output is opened, written and committed fails in turn: whatever is left
// open or named by then is closed or removed, and the target is either as it was or wholly the new file.
TEST_F(OutputFileTest, NoDescriptorOrFileIsLeftWhereAnAllocationFails) {
    write("out.syx", "old");
    for (int allocation = 0;; ++allocation) {
        const long descriptors = openDescriptors();
        allocationsLeft = allocation;
        try {
            save("out.syx", "new");
        } catch (const std::bad_alloc&) {
        }
        const bool failed = std::exchange(allocationsLeft, -1) < 0;
        EXPECT_EQ(openDescriptors(), descriptors) << "allocation " << allocation;
        EXPECT_EQ(entries(), QStringList{"out.syx"}) << "allocation " << allocation;
        EXPECT_TRUE(read("out.syx") == "old" || read("out.syx") == "new") << read("out.syx");
        if (!failed)
            return;
        write("out.syx", "old");
    }
}

// The file is in place, but its new name may not outlive a power loss, and the user hears so.
TEST_F(OutputFileTest, FolderThatCannotBeSyncedAfterTheRenameIsReported) {
    write("out.syx", "old");
    faults::failCalls("fsync", m_folder.path().toStdString(), EIO);
    EXPECT_TRUE(save("out.syx", "new"));
    EXPECT_EQ(read("out.syx"), "new");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("may not survive a power loss"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
}

// Where no file can be made without a name, as in this FUSE folder, the output is a hidden file beside its
// target only while it is written, and no wider than the old file it may replace.
TEST_F(OutputFileTest, FileSystemWithoutUnnamedFilesHasAHiddenFileOnlyWhileTheOutputIsWritten) {
    const std::string fuse = path("fuse");
    ASSERT_TRUE(::mkdir(path("disk").c_str(), 0700) == 0 && ::mkdir(fuse.c_str(), 0700) == 0);
    if (::geteuid() != 0 || std::system(("bindfs '" + path("disk") + "' '" + fuse + "' 2>/dev/null").c_str()))
        GTEST_SKIP() << "no FUSE folder could be mounted here (bindfs, as root)";
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &fuse, [](const std::string* folder) { ::umount2(folder->c_str(), MNT_DETACH); });
    if (const int unnamed = ::open(fuse.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600); unnamed >= 0) {
        ::close(unnamed);
        GTEST_SKIP() << "this FUSE folder makes files without a name";
    }
    write("fuse/out.syx", "old");
    auto output = item("fuse/out.syx")->CreateBinaryFile("SysEx");
    const QStringList during = entries("fuse");
    struct stat hidden {};
    ASSERT_EQ(during.size(), 2);
    EXPECT_TRUE(during[0].startsWith(".wrenfold-")) << during[0].toStdString();
    ASSERT_EQ(::stat(path("fuse/" + during[0].toStdString()).c_str(), &hidden), 0);
    EXPECT_EQ(hidden.st_mode & 0777, 0600u);
    output = nullptr;
    EXPECT_EQ(entries("fuse"), QStringList{"out.syx"});
    changeTargetsWhileWritten("fuse/");
}

} // namespace
