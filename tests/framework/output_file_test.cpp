#include "framework/output_file.h"

#include "faults/faults.h"
#include "framework/binary_stream.h"
#include "framework/file_attributes.h"
#include "framework/scratch_folder.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

// The allocation this many allocations from now, on this thread, throws; -1 after that.
static thread_local int allocationsLeft = -1;

// Each scalar form is replaced, so that what one allocates another may free, under AddressSanitizer too.
void* operator new(std::size_t size) {
    if (allocationsLeft >= 0 && allocationsLeft-- == 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size + 1))
        return memory;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size + 1); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
using test::kNobody;

long openDescriptors() { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); }

class OutputFileTest : public test::ScratchFolderTest {
protected:
    mode_t modeOf(const std::string& name) const {
        struct stat status {};
        ::lstat(path(name).c_str(), &status);
        return status.st_mode;
    }
    mode_t typeOf(const std::string& name) const { return modeOf(name) & S_IFMT; }
    // Each link's target, then its name.
    void link(const std::vector<std::string>& links) const {
        for (std::size_t at = 0; at + 1 < links.size(); at += 2)
            ASSERT_EQ(::symlink(links[at].c_str(), path(links[at + 1]).c_str()), 0) << links[at + 1];
    }
    // Whether the output could be made; what went wrong after that is in m_reports.
    bool save(const std::string& name, const std::string& bytes) const {
        auto output = item(name)->CreateBinaryFile("SysEx");
        if (output)
            output->Write(fw::ByteString(bytes));
        return output != nullptr;
    }
    // A pipe put in place of a file, a link in place of a folder, a name taken, each while its output is
    // written, are each reported and left as they are. Meanwhile only hidden files show, which a killed
    // writer would leave, and they keep from others what the old file kept.
    void changeTargetsWhileWritten(const std::string& at, int hiddenFiles) {
        write(at + "out.syx", "old");
        ASSERT_TRUE(::mkdir(path(at + "folder").c_str(), 0700) == 0 &&
                    ::mkdir(path(at + "elsewhere").c_str(), 0700) == 0);
        const long descriptors = openDescriptors();
        auto replaced = item(at + "out.syx")->CreateBinaryFile("SysEx");
        for (const QString& hidden : entries(at).filter(".wrenfold-"))
            EXPECT_EQ(modeOf(at + hidden.toStdString()) & 0777, 0600u);
        auto moved = item(at + "folder/new.syx")->CreateBinaryFile("SysEx");
        auto taken = item(at + "twice.syx")->CreateBinaryFile("SysEx");
        taken->Write(fw::ByteString("second"));
        EXPECT_EQ(entries(at),
                  (entries(at).filter(".wrenfold-") + QStringList{"elsewhere", "folder", "out.syx"}));
        EXPECT_EQ(entries(at).filter(".wrenfold-").size(), hiddenFiles);
        ASSERT_TRUE(::unlink(path(at + "out.syx").c_str()) == 0 &&
                    ::mkfifo(path(at + "out.syx").c_str(), 0600) == 0);
        ASSERT_EQ(::rename(path(at + "folder").c_str(), path(at + "moved").c_str()), 0);
        link({"elsewhere", at + "folder"});
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

// Only root may make a device, or plant another user's link in a shared folder (as in /tmp), which the kernel
// follows for nobody else.
TEST_F(OutputFileTest, TargetThatMustNotBeReplacedIsRefusedUntouchedAndNothingIsMade) {
    std::vector<std::pair<std::string, mode_t>> specials{{"pipe", S_IFIFO}, {"socket", S_IFSOCK}};
    Pairs refusals{{"pipe", "a named pipe"},
                   {"socket", "a socket"},
                   {"folder", "a folder"},
                   {".", "a folder"},
                   {"loop", "Too many levels of symbolic links"}};
    ASSERT_EQ(::mkdir(path("folder").c_str(), 0700), 0);
    link({"loop", "loop"});
    write("root.syx", "kept");
    if (::geteuid() == 0) {
        specials.emplace_back("device", S_IFCHR);
        refusals.insert(refusals.end(), {{"device", "a device"},
                                         {"shared/planted.syx", "Permission denied"},
                                         {"shared/dangling.syx", "Permission denied"}});
        ASSERT_TRUE(::mkdir(path("shared").c_str(), 0700) == 0 &&
                    ::chmod(path("shared").c_str(), 01777) == 0);
        link({"../root.syx", "shared/planted.syx", "../made.syx", "shared/dangling.syx"});
        for (const std::string name : {"shared/planted.syx", "shared/dangling.syx"})
            ASSERT_EQ(::lchown(path(name).c_str(), kNobody, kNobody), 0) << name;
    }
    for (const auto& [name, type] : specials)
        ASSERT_EQ(::mknod(path(name).c_str(), type | 0600, makedev(1, 3)), 0) << name;
    const QStringList before = entries();
    const long descriptors = openDescriptors();

    for (const auto& [name, reason] : refusals) {
        m_reports.clear();
        EXPECT_FALSE(save(name, "new")) << name;
        ASSERT_EQ(m_reports.size(), 1u) << name;
        EXPECT_NE(m_reports[0].find(reason), std::string::npos) << m_reports[0];
    }
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(read("root.syx"), "kept");
    for (const auto& [name, type] : specials)
        EXPECT_EQ(typeOf(name), type) << name;
}

// The kernel, not the path's text, says where a name leads: to bytes that are not UTF-8, to a file not yet
// there, or up from the folder a link really is in.
TEST_F(OutputFileTest, LinkIsFollowedAsTheKernelFollowsItAndStaysALink) {
    const std::string latin1 = "caf\xE9.syx";
    write(latin1, "old");
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("real/deep"));
    link({latin1, "link.syx", "real/new.syx", "dangling.syx", "missing/new.syx", "lost.syx", "real/deep",
          "linked", "../up.syx", "real/deep/up.syx"});

    for (const auto& [name, target] : Pairs{{"link.syx", latin1},
                                            {latin1, latin1},
                                            {"dangling.syx", "real/new.syx"},
                                            {"linked/up.syx", "real/up.syx"}}) {
        EXPECT_TRUE(save(name, "through " + name)) << name;
        EXPECT_EQ(read(target), "through " + name) << name;
    }
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];
    EXPECT_FALSE(save("lost.syx", "new"));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("No such file or directory"), std::string::npos) << m_reports[0];
    EXPECT_EQ(typeOf("link.syx"), S_IFLNK);
    EXPECT_EQ(typeOf("dangling.syx"), S_IFLNK);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("")), {}), 6);
    EXPECT_EQ(entries("real"), (QStringList{"deep", "new.syx", "up.syx"}));
}

// Entries a new file takes from its folder's default list were never the old file's; where the file system
// takes no list or attribute, a file is replaced only if it had none to lose.
TEST_F(OutputFileTest, AccessListAndAttributesAreKeptExactlyOrTheFileIsLeftAsItWas) {
    for (const std::string name : {"listed.syx", "noted.syx", "plain.syx"})
        write(name, "old");
    if (const std::string refusal =
            test::setAccessList(path("listed.syx"), "u::rw-,g::r--,g:29:rw-,m::rw-,o::---") +
            test::setNote(path("noted.syx")) +
            test::setAccessList(path(""), "u::rwx,u:65534:rwx,g::rwx,m::rwx,o::r-x", ACL_TYPE_DEFAULT);
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list or extended attribute: " << refusal;
    const std::string list = test::accessList(path("plain.syx"));
    EXPECT_TRUE(save("plain.syx", "new"));
    EXPECT_EQ(test::accessList(path("plain.syx")), list);

    faults::failCalls("fsetxattr", path(""), EOPNOTSUPP);
    for (const std::string name : {"listed.syx", "noted.syx", "plain.syx"})
        EXPECT_TRUE(save(name, "newer")) << name;
    ASSERT_EQ(m_reports.size(), 2u);
    EXPECT_NE(m_reports[0].find("Its access list could not be kept: Operation not supported"),
              std::string::npos);
    EXPECT_NE(m_reports[1].find("Its extended attributes could not be kept: Operation not supported"),
              std::string::npos);
    EXPECT_EQ(read("listed.syx") + read("noted.syx") + read("plain.syx"), "oldoldnewer");
}

// As nobody (root may write anything), who may give neither the file nor a group they are not in away: a
// group left theirs gets no more than everybody had, and attributes they cannot read cannot be kept.
TEST_F(OutputFileTest, AsAnOrdinaryUserNothingIsWidenedOrReplacedThatTheUserMayNotWrite) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may become another user";
    // Each file's owner, group and mode; what becomes of it; the group and mode of the file that replaced it.
    const std::vector<std::tuple<std::string, uid_t, gid_t, mode_t, std::string, gid_t, mode_t>> files{
        {"open/theirs", kNobody, 0, 02640, "replaced", kNobody, 0600},
        {"open/roots", 0, test::kOtherGroup, 0664, "replaced", test::kOtherGroup, 0664},
        {"open/plain", kNobody, kNobody, 0200, "replaced", kNobody, 0200},
        {"open/noted", kNobody, kNobody, 0200, "Its extended attributes could not be read", 0, 0},
        {"open/protected", kNobody, kNobody, 0444, "The file is not writable", 0, 0},
        {"closed/writable", kNobody, kNobody, 0644, "The file is writable, but its folder is not", 0, 0},
        {"closed/new", 0, 0, 0, "Its folder is not writable", 0, 0}};
    ASSERT_TRUE(::chmod(path("").c_str(), 0755) == 0 && ::mkdir(path("open").c_str(), 0755) == 0 &&
                ::mkdir(path("closed").c_str(), 0555) == 0 &&
                ::chown(path("open").c_str(), kNobody, kNobody) == 0);
    for (const auto& [name, owner, group, mode, outcome, keptGroup, keptMode] : files) {
        write(name, "kept");
        ASSERT_TRUE(::chown(path(name).c_str(), owner, group) == 0 && ::chmod(path(name).c_str(), mode) == 0);
    }
    ASSERT_EQ(::unlink(path("closed/new").c_str()), 0);
    if (const std::string refusal =
            test::setAccessList(path("open/theirs"), "u::rw-,u:0:r--,g::r--,m::r--,o::---") +
            test::setNote(path("open/theirs")) + test::setNote(path("open/noted"));
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list or extended attribute: " << refusal;
    std::string narrowed = test::accessList(path("open/theirs"));
    narrowed.replace(narrowed.find("mask::r--"), 9, "mask::---");

    // A fork keeps only the thread that forked, so the child makes no widget.
    const pid_t child = ::fork();
    if (child == 0) {
        std::ofstream said(path("open/said"));
        const gid_t groups[] = {kNobody, test::kOtherGroup};
        if (::setgroups(2, groups) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            said << "not nobody: " << std::strerror(errno) << "\n";
        for (const auto& file : files) {
            fw::FileFailure refusal;
            const auto output = fw::OutputFile::open(path(std::get<0>(file)), std::nullopt, refusal);
            const auto failure = output ? output->commit() : std::optional(refusal);
            said << std::get<0>(file) << ": " << (failure ? failure->reason : "replaced") << "\n";
        }
        said.close();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string said = read("open/said");
    for (const auto& [name, owner, group, mode, outcome, keptGroup, keptMode] : files) {
        EXPECT_NE(said.find(name + ": " + outcome), std::string::npos) << said;
        const bool replaced = outcome == "replaced";
        struct stat status {};
        ::stat(path(name).c_str(), &status);
        EXPECT_EQ(status.st_uid, replaced ? kNobody : owner) << name;
        EXPECT_EQ(status.st_gid, replaced ? keptGroup : group) << name;
        EXPECT_EQ(status.st_mode & 07777, replaced ? keptMode : mode) << name;
        EXPECT_EQ(read(name), replaced || name == "closed/new" ? "" : "kept") << name;
    }
    EXPECT_EQ(test::accessList(path("open/theirs")), narrowed);
    EXPECT_EQ(test::note(path("open/theirs")), "hello");
}

// The output is written into a file without a name, and its target looked at again before it takes its place.
TEST_F(OutputFileTest, TargetChangedWhileTheOutputWasWrittenIsLeftAsItWas) {
    changeTargetsWhileWritten("", 0);
}

// Only the folder is opened by its path, and the temporary name is short. A folder that cannot be synced
// after the rename may lose the new name with a power loss, and the user hears so.
TEST_F(OutputFileTest, FileWithTheLongestNameOrPathIsReplacedAndAFolderThatCannotBeSyncedIsReported) {
    std::string deep;
    while (path(deep).size() + 1 + 200 + 1 + 200 < PATH_MAX) {
        deep += (deep.empty() ? "" : "/") + std::string(200, 'd');
        ASSERT_EQ(::mkdir(path(deep).c_str(), 0700), 0) << std::strerror(errno);
    }
    const std::string deepest = deep + "/" + std::string(PATH_MAX - 1 - path(deep).size() - 1, 'f');
    faults::failCalls("fsync", path(deep), EIO);
    for (const std::string& name : {std::string(255, 'n'), deepest}) {
        write(name, "old");
        EXPECT_TRUE(save(name, "new")) << name.size();
        EXPECT_EQ(read(name), "new") << name.size();
    }
    EXPECT_EQ(entries().size() + entries(deep).size(), 3);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find(deepest + "\" was written, but it may not survive a power loss"),
              std::string::npos)
        << m_reports[0];
    EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
}

// Each allocation fails in turn: the target is as it was or wholly new, and nothing is left open or named.
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

// Where no file can be made without a name, as in this FUSE folder, a hidden one is no wider than its target.
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
    changeTargetsWhileWritten("fuse/", 2);
}

} // namespace
