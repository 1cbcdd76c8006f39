#include "framework/file_metadata.h"

#include "faults/faults.h"
#include "framework/file_attributes.h"
#include "framework/scratch_folder.h"

#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <unistd.h>

namespace {

using test::accessList;
using test::note;
using test::setAccessList;
using test::setNote;

// The user and group that own nothing, and a group that root is not in ("audio" on Debian).
constexpr uid_t kNobody = 65534;
constexpr gid_t kOtherGroup = 29;

// A descriptor closed with the test.
class Descriptor {
public:
    explicit Descriptor(int value) : m_value(value) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_value >= 0)
            ::close(m_value);
    }
    int get() const { return m_value; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_value); }

private:
    int m_value;
};

struct stat statusOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status;
}

// What keepMetadata says, as text: "kept" or its reason.
std::string kept(int oldFile, int newFile) { return fw::keepMetadata(oldFile, newFile).value_or("kept"); }

// What work gives back when run in a child process that is the user and group nobody, in the other group
// as well.
std::string asNobody(const std::function<std::string()>& work) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return std::strerror(errno);
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t groups[] = {kNobody, kOtherGroup};
        const bool became = ::setgroups(2, groups) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        const std::string result = became ? work() : std::string("not nobody: ") + std::strerror(errno);
        const ssize_t written = ::write(pipe[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string result;
    char buffer[256];
    for (ssize_t size; (size = ::read(pipe[0], buffer, sizeof(buffer))) > 0;)
        result.append(buffer, static_cast<std::size_t>(size));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

class FileMetadataTest : public test::ScratchFolderTest {
protected:
    // The new file, as the output makes it: unnamed, in the folder, with the mode a new file gets.
    Descriptor newFile(const std::string& folder = {}) const {
        return Descriptor(::open(path(folder).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644));
    }
    Descriptor oldFile(const std::string& name, int flags) const {
        return Descriptor(::open(path(name).c_str(), flags | O_CLOEXEC));
    }
    // The old file, read back through each kind of descriptor it may come as.
    static constexpr int kOpenings[] = {O_RDONLY, O_PATH};
};

TEST_F(FileMetadataTest, OwnerGroupAndWholeModeAreKeptByRootWhetherTheOldFileIsOpenOrOnlyFound) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    struct Old {
        uid_t owner;
        gid_t group;
        mode_t mode;
    };
    for (const Old& old : {Old{0, kOtherGroup, 0640}, Old{kNobody, kNobody, 0644}, Old{0, 0, 02755},
                           Old{kNobody, kOtherGroup, 06711}, Old{0, 0, 01604}}) {
        for (const int opening : kOpenings) {
            write("old", "old");
            ASSERT_EQ(::chown(path("old").c_str(), old.owner, old.group), 0);
            ASSERT_EQ(::chmod(path("old").c_str(), old.mode), 0);
            const Descriptor made = newFile();
            EXPECT_EQ(kept(oldFile("old", opening).get(), made.get()), "kept");
            const struct stat status = statusOf(made.path());
            EXPECT_EQ(status.st_uid, old.owner) << std::oct << old.mode;
            EXPECT_EQ(status.st_gid, old.group) << std::oct << old.mode;
            EXPECT_EQ(status.st_mode & 07777, old.mode) << std::oct << old.mode << " " << opening;
        }
    }
}

// Setting the mode the way a plain copy of the permissions would makes the owning group's entry the list's
// mask, and so gives that group what only the named group had.
TEST_F(FileMetadataTest, AccessListAndExtendedAttributesAreKeptAndTheOwningGroupStaysReadOnly) {
    write("old", "old");
    const char* list = "u::rw-,u:65534:r--,g::r--,g:29:rw-,m::rw-,o::---";
    if (const std::string refusal = setAccessList(path("old"), list); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list: " << refusal;
    if (const std::string refusal = setNote(path("old")); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no extended attribute: " << refusal;
    const std::string before = accessList(path("old"));
    ASSERT_NE(before.find("group::r--"), std::string::npos) << before;
    for (const int opening : kOpenings) {
        const Descriptor made = newFile();
        EXPECT_EQ(kept(oldFile("old", opening).get(), made.get()), "kept");
        EXPECT_EQ(accessList(made.path()), before) << opening;
        EXPECT_EQ(statusOf(made.path()).st_mode & 07777, 0660u) << opening;
        EXPECT_EQ(note(made.path()), "hello") << opening;
    }
}

// The new file takes its folder's default entries when it is made; the old file it stands in for had none.
TEST_F(FileMetadataTest, NewFileLosesTheEntriesItTookFromItsFolderWhereTheOldFileHadNone) {
    write("old", "old");
    ASSERT_EQ(::chmod(path("old").c_str(), 0640), 0);
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("shared"));
    if (const std::string refusal =
            setAccessList(path("shared"), "u::rwx,u:65534:rwx,g::r-x,m::rwx,o::r-x", ACL_TYPE_DEFAULT);
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list: " << refusal;
    const Descriptor made = newFile("shared");
    ASSERT_EQ(::acl_extended_file(made.path().c_str()), 1) << "the new file took no entry from its folder";
    EXPECT_EQ(kept(oldFile("old", O_PATH).get(), made.get()), "kept");
    EXPECT_EQ(::acl_extended_file(made.path().c_str()), 0) << accessList(made.path());
    EXPECT_EQ(statusOf(made.path()).st_mode & 07777, 0640u);
}

// A file system that takes no access list or no extended attribute must not cost the new file what the old
// file's list or attributes withheld; a file with neither needs neither.
TEST_F(FileMetadataTest, ListOrAttributeTheNewFileCannotTakeIsReportedWithItsCause) {
    write("listed", "old");
    write("noted", "old");
    write("plain", "old");
    ASSERT_EQ(::chmod(path("plain").c_str(), 0604), 0);
    if (const std::string refusal = setAccessList(path("listed"), "u::rw-,g::r--,g:29:rw-,m::rw-,o::---");
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list: " << refusal;
    if (const std::string refusal = setNote(path("noted")); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no extended attribute: " << refusal;
    faults::failCalls("fsetxattr", path(""), EOPNOTSUPP);
    EXPECT_EQ(kept(oldFile("listed", O_PATH).get(), newFile().get()),
              "Its access list could not be kept: Operation not supported");
    EXPECT_EQ(kept(oldFile("noted", O_PATH).get(), newFile().get()),
              "Its extended attributes could not be kept: Operation not supported");
    const Descriptor made = newFile();
    EXPECT_EQ(kept(oldFile("plain", O_PATH).get(), made.get()), "kept");
    EXPECT_EQ(statusOf(made.path()).st_mode & 07777, 0604u);
}

class FileMetadataAsNobodyTest : public FileMetadataTest {
protected:
    void SetUp() override {
        FileMetadataTest::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root may become another user";
        ASSERT_EQ(::chmod(path("").c_str(), 0711), 0);
        ASSERT_TRUE(QDir(m_folder.path()).mkdir("nobody"));
        ASSERT_EQ(::chown(path("nobody").c_str(), kNobody, kNobody), 0);
    }
    // Makes a file in nobody's folder.
    void writeTheirs(const std::string& name, uid_t owner, gid_t group, mode_t mode) const {
        write("nobody/" + name, "old");
        ASSERT_EQ(::chown(path("nobody/" + name).c_str(), owner, group), 0);
        ASSERT_EQ(::chmod(path("nobody/" + name).c_str(), mode), 0);
    }
    // Run as nobody: gives a new file in their folder what the old file has, and names it as the old one with
    // ".new" if that worked.
    std::string keepTheirs(const std::string& name) const {
        return asNobody([&] {
            const Descriptor made = newFile("nobody");
            const std::string result = kept(oldFile("nobody/" + name, O_PATH).get(), made.get());
            if (result == "kept" && ::linkat(AT_FDCWD, made.path().c_str(), AT_FDCWD,
                                             path("nobody/" + name + ".new").c_str(), AT_SYMLINK_FOLLOW))
                return std::string("not linked: ") + std::strerror(errno);
            return result;
        });
    }
};

// A user may give away neither the file nor a group they are not in, but may give a group of their own. Where
// the group stays theirs, it gets no more than everybody had: the old group's bits, the list's mask and the
// set-group-id bit would otherwise grant that group what it never had.
TEST_F(FileMetadataAsNobodyTest, OwnerAndGroupThatTheUserMayNotGiveAreLeftAndNothingIsWidened) {
    writeTheirs("theirs", kNobody, 0, 0640);
    if (const std::string refusal =
            setAccessList(path("nobody/theirs"), "u::rw-,u:0:r--,g::r--,m::r--,o::---");
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list: " << refusal;
    if (const std::string refusal = setNote(path("nobody/theirs")); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no extended attribute: " << refusal;
    ASSERT_EQ(keepTheirs("theirs"), "kept");
    struct stat status = statusOf(path("nobody/theirs.new"));
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kNobody);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    std::string narrowed = accessList(path("nobody/theirs"));
    narrowed.replace(narrowed.find("mask::r--"), 9, "mask::---");
    EXPECT_EQ(accessList(path("nobody/theirs.new")), narrowed);
    EXPECT_EQ(note(path("nobody/theirs.new")), "hello");

    writeTheirs("setgid", kNobody, 0, 02754);
    ASSERT_EQ(keepTheirs("setgid"), "kept");
    EXPECT_EQ(statusOf(path("nobody/setgid.new")).st_mode & 07777, 0744u);

    writeTheirs("roots", 0, kOtherGroup, 0664);
    ASSERT_EQ(keepTheirs("roots"), "kept");
    status = statusOf(path("nobody/roots.new"));
    EXPECT_EQ(status.st_uid, kNobody);
    EXPECT_EQ(status.st_gid, kOtherGroup);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
}

// Its owner may write such a file but read neither it nor its extended attributes, so the new file could not
// have them.
TEST_F(FileMetadataAsNobodyTest, FileTheyMayWriteButNotReadIsReplacedOnlyWithoutAttributesToKeep) {
    writeTheirs("noted", kNobody, kNobody, 0200);
    if (const std::string refusal = setNote(path("nobody/noted")); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no extended attribute: " << refusal;
    EXPECT_EQ(keepTheirs("noted"), "Its extended attributes could not be read: Permission denied");
    writeTheirs("plain", kNobody, kNobody, 0200);
    ASSERT_EQ(keepTheirs("plain"), "kept");
    EXPECT_EQ(statusOf(path("nobody/plain.new")).st_mode & 07777, 0200u);
}

} // namespace
