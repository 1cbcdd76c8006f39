#include "faults/faults.h"
#include "framework/allocation_faults.h"
#include "framework/binary_stream.h"
#include "framework/output_file.h"
#include "framework/scratch_folder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

class OutputFileTest : public test::ScratchFolderTest {
protected:
    mode_t typeOf(const std::string& name) const {
        struct stat status {};
        ::lstat(path(name).c_str(), &status);
        return status.st_mode & S_IFMT;
    }
    // The names in a folder as the system spells them, bytes that are not UTF-8 included.
    std::vector<std::string> names(const std::string& folder = {}) const {
        std::vector<std::string> found;
        DIR* entries = ::opendir(path(folder).c_str());
        while (const dirent* entry = entries ? ::readdir(entries) : nullptr) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                found.emplace_back(entry->d_name);
        }
        if (entries)
            ::closedir(entries);
        std::sort(found.begin(), found.end());
        return found;
    }
    // Saves the bytes through the named path; whether the output could be made.
    bool save(const std::string& name, const std::string& bytes) const {
        auto output = item(name)->CreateBinaryFile("SysEx");
        if (!output)
            return false;
        output->Write(fw::ByteString(bytes));
        return true;
    }
};

bool isRoot() { return ::geteuid() == 0; }

// Runs the body in a child process, which tells the parent through the pipe it is handed. A fork keeps only
// the thread that forked, so the body uses the framework's file code and makes no widget.
pid_t forkChild(int& fromChild, const std::function<void(int toParent)>& body) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        body(ends[1]);
        ::_exit(0);
    }
    ::close(ends[1]);
    fromChild = ends[0];
    return child;
}

std::string readToEnd(int descriptor) {
    std::string text;
    std::array<char, 256> chunk{};
    ssize_t count;
    while ((count = ::read(descriptor, chunk.data(), chunk.size())) > 0)
        text.append(chunk.data(), static_cast<std::size_t>(count));
    ::close(descriptor);
    return text;
}

void say(int descriptor, const std::string& text) {
    [[maybe_unused]] const ssize_t written = ::write(descriptor, text.data(), text.size());
}

TEST_F(OutputFileTest, TargetThatMustNotBeReplacedIsRefusedUntouchedAndNothingIsMade) {
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder"));
    ASSERT_EQ(::symlink("loop", path("loop").c_str()), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path("socket").c_str(), sizeof address.sun_path - 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
    const bool deviceMade = ::mknod(path("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::string deviceRefused = std::strerror(errno);
    const QStringList before = entries();
    const int descriptors = test::openDescriptors();

    const std::vector<std::pair<std::string, std::string>> refusals{
        {"pipe", "It is a named pipe, not a regular file"}, {"folder", "It is a folder, not a regular file"},
        {"socket", "It is a socket, not a regular file"},   {"loop", "Too many levels of symbolic links"},
        {".", "It is a folder, not a regular file"},        {"device", "It is a device, not a regular file"}};
    for (const auto& [name, reason] : refusals) {
        if (name == "device" && !deviceMade)
            continue;
        m_reports.clear();
        EXPECT_FALSE(item(name)->CreateBinaryFile("SysEx")) << name;
        ASSERT_EQ(m_reports.size(), 1u) << name;
        const std::string shown = QString::fromUtf8(path(name).c_str()).toStdString();
        EXPECT_NE(m_reports[0].find(shown + "\" could not be written"), std::string::npos) << m_reports[0];
        EXPECT_NE(m_reports[0].find(reason), std::string::npos) << m_reports[0];
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(test::openDescriptors(), descriptors);
    EXPECT_EQ(typeOf("pipe"), S_IFIFO);
    EXPECT_EQ(typeOf("socket"), S_IFSOCK);
    if (!deviceMade)
        GTEST_SKIP() << "no device node could be made here (" << deviceRefused << "); the rest passed";
    EXPECT_EQ(typeOf("device"), S_IFCHR);
}

TEST_F(OutputFileTest, LinkIsFollowedToItsFileEvenOneNotYetThereAndStaysALink) {
    write("old.syx", "old");
    ASSERT_EQ(::chmod(path("old.syx").c_str(), 0640), 0);
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("sub"));
    ASSERT_EQ(::symlink("old.syx", path("link.syx").c_str()), 0);
    ASSERT_EQ(::symlink("sub/new.syx", path("dangling.syx").c_str()), 0);
    ASSERT_EQ(::symlink("missing/new.syx", path("lost.syx").c_str()), 0);
    for (const std::string name : {"link.syx", "dangling.syx"}) {
        auto output = item(name)->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("new"));
        output = nullptr;
        EXPECT_EQ(read(name), "new");
        EXPECT_EQ(typeOf(name), S_IFLNK) << name;
    }
    struct stat status {};
    ::stat(path("old.syx").c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(entries("sub"), QStringList{"new.syx"});

    const QStringList before = entries();
    EXPECT_FALSE(item("lost.syx")->CreateBinaryFile("SysEx"));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("No such file or directory"), std::string::npos) << m_reports[0];
    EXPECT_EQ(entries(), before);
}

// Root may write anything, so the child that asks is made an ordinary user first.
TEST_F(OutputFileTest, FileOrFolderThatTheUserMayNotWriteIsRefusedAndLeftAsItWas) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("open") && QDir(m_folder.path()).mkdir("closed"));
    write("open/protected.syx", "kept");
    write("closed/writable.syx", "kept");
    ASSERT_EQ(::chmod(path("open/protected.syx").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(path("closed").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(m_folder.path().toUtf8().constData(), 0755), 0);
    if (::geteuid() == 0) {
        for (const std::string name : {"open", "closed", "open/protected.syx", "closed/writable.syx"})
            ASSERT_EQ(::chown(path(name).c_str(), kNobody, kNobody), 0) << name;
    }

    int fromChild = -1;
    const pid_t child = forkChild(fromChild, [this](int toParent) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            return say(toParent,
                       std::string("skip: cannot become an ordinary user: ") + std::strerror(errno));
        if (::access(path("open").c_str(), X_OK) != 0)
            return say(toParent, "skip: the temporary folder is out of an ordinary user's reach");
        for (const std::string name : {"open/protected.syx", "closed/writable.syx", "closed/new.syx"}) {
            fw::FileFailure refusal;
            say(toParent,
                (fw::OutputFile::open(path(name), std::nullopt, refusal) ? "opened" : refusal.reason) + "\n");
        }
    });
    ASSERT_GT(child, 0);
    const std::string said = readToEnd(fromChild);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(path("closed").c_str(), 0755);
    if (said.rfind("skip: ", 0) == 0)
        GTEST_SKIP() << said.substr(6);
    EXPECT_EQ(said, "The file is not writable: Permission denied\n"
                    "The file is writable, but its folder is not: Permission denied\n"
                    "Its folder is not writable: Permission denied\n");
    EXPECT_EQ(read("open/protected.syx") + read("closed/writable.syx"), "keptkept");
    EXPECT_EQ(entries("open"), QStringList{"protected.syx"});
    EXPECT_EQ(entries("closed"), QStringList{"writable.syx"});
}

// The output is written into a file without a name, so a writer killed at any point leaves nothing behind.
TEST_F(OutputFileTest, WriterKilledWhileWritingLeavesTheFolderAsItWas) {
    write("out.syx", "old");
    write("in.syx", test::pattern(4 << 20));
    const QStringList before = entries();

    int fromChild = -1;
    const pid_t child = forkChild(fromChild, [this](int toParent) {
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        const fw::ByteString run = item("in.syx")->OpenAsBinaryFile(false)->Read(test::kEverything);
        output->Write(run);
        say(toParent, "writing");
        // Still writing when the kill comes, or failing that, holding the output open.
        for (int i = 0; i < 64; ++i)
            output->Write(run);
        ::pause();
    });
    ASSERT_GT(child, 0);
    std::array<char, 7> word{};
    const bool writing = ::read(fromChild, word.data(), word.size()) == 7;
    const QStringList during = entries();
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(fromChild);

    ASSERT_TRUE(writing);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(during, before);
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(read("out.syx"), "old");
}

// The kernel, not the text of the path, says where a name leads: a name in other bytes than UTF-8 is that
// name, and ".." in a link's text leads up from the folder the link really is in.
TEST_F(OutputFileTest, LinkIsFollowedAsTheKernelFollowsIt) {
    const std::string latin1 = "caf\xE9.syx";
    write(latin1, "old");
    ASSERT_EQ(::symlink(latin1.c_str(), path("link.syx").c_str()), 0);
    ASSERT_TRUE(save("link.syx", "through the link"));
    EXPECT_EQ(read(latin1), "through the link");
    ASSERT_TRUE(save(latin1, "by its name"));
    EXPECT_EQ(read(latin1), "by its name");
    EXPECT_EQ(names(), (std::vector<std::string>{latin1, "link.syx"}));
    // QTemporaryDir cannot remove a name that has no QString spelling.
    ::unlink(path(latin1).c_str());

    ASSERT_TRUE(QDir(m_folder.path()).mkpath("real/deep"));
    ASSERT_EQ(::symlink("real/deep", path("linked").c_str()), 0);
    ASSERT_EQ(::symlink("../out.syx", path("real/deep/up.syx").c_str()), 0);
    ASSERT_TRUE(save("linked/up.syx", "new"));
    EXPECT_EQ(read("real/out.syx"), "new");
    ASSERT_TRUE(save("linked/up.syx", "newer"));
    EXPECT_EQ(read("real/out.syx"), "newer");
    EXPECT_EQ(names(), (std::vector<std::string>{"link.syx", "linked", "real"}));
    EXPECT_EQ(names("real"), (std::vector<std::string>{"deep", "out.syx"}));
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];
}

// Root saving through a link that someone else put in a shared folder such as /tmp, as the kernel refuses to
// follow it for any other program: neither the file it leads to nor a file it would make is written.
TEST_F(OutputFileTest, LinkThatAnotherUserPlantedInASharedFolderIsNotFollowed) {
    if (!isRoot())
        GTEST_SKIP() << "only root can plant a link of another user";
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("shared"));
    ASSERT_EQ(::chmod(path("shared").c_str(), 01777), 0);
    write("root.syx", "kept");
    ASSERT_EQ(::symlink("../root.syx", path("shared/planted.syx").c_str()), 0);
    ASSERT_EQ(::symlink("../made.syx", path("shared/dangling.syx").c_str()), 0);
    for (const std::string name : {"shared/planted.syx", "shared/dangling.syx"})
        ASSERT_EQ(::lchown(path(name).c_str(), kNobody, kNobody), 0) << name;
    const int descriptors = test::openDescriptors();

    for (const std::string name : {"shared/planted.syx", "shared/dangling.syx"})
        EXPECT_FALSE(save(name, "new")) << name;
    ASSERT_EQ(m_reports.size(), 2u);
    for (const std::string& report : m_reports)
        EXPECT_NE(report.find("Permission denied"), std::string::npos) << report;
    EXPECT_EQ(read("root.syx"), "kept");
    EXPECT_EQ(names(), (std::vector<std::string>{"root.syx", "shared"}));
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

// The target is looked at again before the new file takes its place: a file that is no longer the one the
// output was made for, or a name that has been taken meanwhile, is left as it is.
TEST_F(OutputFileTest, TargetChangedWhileTheOutputWasWrittenIsLeftAsItWas) {
    write("out.syx", "old");
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder") && QDir(m_folder.path()).mkdir("elsewhere"));
    const int descriptors = test::openDescriptors();

    auto output = item("out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new"));
    ASSERT_EQ(::unlink(path("out.syx").c_str()), 0);
    ASSERT_EQ(::mkfifo(path("out.syx").c_str(), 0600), 0);
    output = item("folder/new.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new"));
    ASSERT_EQ(::rename(path("folder").c_str(), path("moved").c_str()), 0);
    ASSERT_EQ(::symlink("elsewhere", path("folder").c_str()), 0);
    output = item("twice.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("second"));
    ASSERT_TRUE(save("twice.syx", "first"));
    output = nullptr;

    ASSERT_EQ(m_reports.size(), 3u);
    for (const std::string& report : m_reports)
        EXPECT_NE(report.find("It was changed while the new file was being written"), std::string::npos)
            << report;
    EXPECT_EQ(typeOf("out.syx"), S_IFIFO);
    EXPECT_EQ(names("elsewhere"), std::vector<std::string>{});
    EXPECT_EQ(names("moved"), std::vector<std::string>{});
    EXPECT_EQ(read("twice.syx"), "first");
    EXPECT_EQ(names(), (std::vector<std::string>{"elsewhere", "folder", "moved", "out.syx", "twice.syx"}));
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

// Only the folder is opened by its path, and the new file's own temporary name is short, so a file whose name
// or path takes all the room there is can still be replaced.
TEST_F(OutputFileTest, FileWithTheLongestNameOrPathIsReplaced) {
    const std::string longest(255, 'n');
    write(longest, "old");
    std::string deep;
    while (path(deep).size() + 1 + 200 + 1 + 200 < PATH_MAX) {
        deep += (deep.empty() ? "" : "/") + std::string(200, 'd');
        ASSERT_EQ(::mkdir(path(deep).c_str(), 0700), 0) << std::strerror(errno);
    }
    const std::string deepest = deep + "/" + std::string(PATH_MAX - 1 - path(deep).size() - 1, 'f');
    ASSERT_EQ(path(deepest).size(), PATH_MAX - 1u);
    write(deepest, "old");

    for (const std::string& name : {longest, deepest})
        EXPECT_TRUE(save(name, "new")) << name.size();
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];
    EXPECT_EQ(read(longest), "new");
    EXPECT_EQ(read(deepest), "new");
    EXPECT_EQ(names().size(), 2u);
    EXPECT_EQ(names(deep).size(), 1u);
}

// Each allocation made while the output is opened, written and committed fails in turn: whatever is left
// open or named by then is closed or removed, and the target is either as it was or wholly the new file.
TEST_F(OutputFileTest, NoDescriptorOrFileIsLeftWhereAnAllocationFails) {
    write("out.syx", "old");
    const std::vector<std::string> before = names();
    bool failed = true;
    for (int allocation = 0; failed; ++allocation) {
        const int descriptors = test::openDescriptors();
        test::failAllocationAfter(allocation);
        try {
            auto output = item("out.syx")->CreateBinaryFile("SysEx");
            if (output)
                output->Write(fw::ByteString("new"));
        } catch (const std::bad_alloc&) {
        }
        failed = test::failAllocationAfter(-1);
        EXPECT_EQ(test::openDescriptors(), descriptors) << "allocation " << allocation;
        EXPECT_EQ(names(), before) << "allocation " << allocation;
        const std::string now = read("out.syx");
        EXPECT_TRUE(now == "old" || now == "new") << now;
        write("out.syx", "old");
    }
}

// The file is in place, but its new name may not outlive a power loss, and the user hears so.
TEST_F(OutputFileTest, FolderThatCannotBeSyncedAfterTheRenameIsReported) {
    write("out.syx", "old");
    faults::failCalls("fsync", m_folder.path().toStdString(), EIO);
    const bool saved = save("out.syx", "new");
    faults::clearFaults();
    ASSERT_TRUE(saved);
    EXPECT_EQ(read("out.syx"), "new");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("may not survive a power loss"), std::string::npos) << m_reports[0];
    EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
}

// A folder of a FUSE file system, which makes no file without a name, mirroring another; unmounted with it.
class FuseFolder {
public:
    FuseFolder(const std::string& mirrored, const std::string& folder) : m_folder(folder) {
        const std::string command = "bindfs '" + mirrored + "' '" + folder + "' 2>/dev/null";
        m_mounted = ::mkdir(folder.c_str(), 0700) == 0 && std::system(command.c_str()) == 0;
    }
    ~FuseFolder() {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

// Where no file can be made without a name, the output is a hidden file beside its target while it is
// written, and nothing is left of it once it is put in place or discarded.
TEST_F(OutputFileTest, FileSystemWithoutUnnamedFilesHasAHiddenFileOnlyWhileTheOutputIsWritten) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("disk"));
    const FuseFolder fuse(path("disk"), path("fuse"));
    if (!isRoot() || !fuse.mounted())
        GTEST_SKIP() << "no FUSE folder could be mounted here (bindfs, as root)";
    const int unnamed = ::open(path("fuse").c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0)
        ::close(unnamed);
    if (unnamed >= 0)
        GTEST_SKIP() << "this FUSE folder makes files without a name";
    write("fuse/out.syx", "old");
    const int descriptors = test::openDescriptors();

    auto output = item("fuse/out.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("new"));
    const std::vector<std::string> during = names("fuse");
    struct stat hidden {};
    ASSERT_EQ(::stat(path("fuse/" + during.at(0)).c_str(), &hidden), 0);
    output = item("fuse/twice.syx")->CreateBinaryFile("SysEx");
    output->Write(fw::ByteString("second"));
    ASSERT_TRUE(save("fuse/twice.syx", "first"));
    output = nullptr;

    ASSERT_EQ(during.size(), 2u);
    EXPECT_EQ(during[0].rfind(".wrenfold-", 0), 0u) << during[0];
    // What the old file kept from others stays kept while its replacement lies beside it.
    EXPECT_EQ(hidden.st_mode & 0777, 0600u);
    EXPECT_EQ(read("fuse/out.syx"), "new");
    EXPECT_EQ(read("fuse/twice.syx"), "first");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("It was changed while the new file was being written"), std::string::npos)
        << m_reports[0];
    EXPECT_EQ(names("fuse"), (std::vector<std::string>{"out.syx", "twice.syx"}));
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

} // namespace
