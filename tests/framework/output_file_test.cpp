#include "framework/binary_stream.h"
#include "framework/output_file.h"
#include "framework/scratch_folder.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
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
};

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
            say(toParent, (fw::OutputFile::open(path(name), std::nullopt, refusal) ? "opened" : refusal.reason) + "\n");
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

} // namespace
