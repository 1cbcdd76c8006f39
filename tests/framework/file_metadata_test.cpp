#include "framework/file_metadata.h"

#include "faults/faults.h"
#include "framework/file_attributes.h"
#include "framework/file_descriptor.h"
#include "framework/scratch_folder.h"

#include <sys/stat.h>

namespace {

using test::accessList;
using test::kNobody;
using test::kOtherGroup;
using test::note;
using test::setAccessList;
using test::setNote;

class FileMetadataTest : public test::ScratchFolderTest {
protected:
    // Gives a new file, made as the output makes it, what the old file has, and names it made if that worked;
    // "kept" or why not.
    std::string keep(const std::string& old, const std::string& made) const {
        const std::string folder = path(made.substr(0, made.rfind('/') + 1));
        const fw::FileDescriptor file(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644));
        const fw::FileDescriptor oldFile(::open(path(old).c_str(), O_PATH | O_CLOEXEC));
        const std::string result = fw::keepMetadata(oldFile.get(), file.get()).value_or("kept");
        const std::string named = "/proc/self/fd/" + std::to_string(file.get());
        if (result == "kept" &&
            ::linkat(AT_FDCWD, named.c_str(), AT_FDCWD, path(made).c_str(), AT_SYMLINK_FOLLOW))
            return std::string("not named: ") + std::strerror(errno);
        return result;
    }
    struct stat statusOf(const std::string& name) const {
        struct stat status {};
        ::stat(path(name).c_str(), &status);
        return status;
    }
};

// Setting the mode as a plain copy of the permissions would make the owning group's entry the list's mask,
// and give that group what only a named group had; entries the new file took from its folder's default list
// were never the old file's. A file system that takes neither list nor attribute must not cost the new file
// what they withheld, unless the old file had none.
TEST_F(FileMetadataTest, AccessListAndAttributesAreKeptExactlyOrTheirLossIsReported) {
    for (const std::string name : {"listed", "noted", "plain"})
        write(name, "old");
    ASSERT_EQ(::chmod(path("plain").c_str(), 0640), 0);
    ASSERT_EQ(::mkdir(path("shared").c_str(), 0755), 0);
    if (const std::string refusal =
            setAccessList(path("listed"), "u::rw-,u:65534:r--,g::r--,g:29:rw-,m::rw-,o::---") +
            setNote(path("listed")) + setNote(path("noted")) +
            setAccessList(path("shared"), "u::rwx,u:65534:rwx,g::r-x,m::rwx,o::r-x", ACL_TYPE_DEFAULT);
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list or extended attribute: " << refusal;
    for (const std::string old : {"listed", "plain"}) {
        ASSERT_EQ(keep(old, "shared/" + old), "kept");
        EXPECT_EQ(accessList(path("shared/" + old)), accessList(path(old)));
        EXPECT_EQ(statusOf("shared/" + old).st_mode, statusOf(old).st_mode) << old;
        EXPECT_EQ(note(path("shared/" + old)), note(path(old))) << old;
    }

    faults::failCalls("fsetxattr", path(""), EOPNOTSUPP);
    EXPECT_EQ(keep("listed", "refused"), "Its access list could not be kept: Operation not supported");
    EXPECT_EQ(keep("noted", "refused"), "Its extended attributes could not be kept: Operation not supported");
    EXPECT_EQ(keep("plain", "plain.new"), "kept");
    EXPECT_EQ(statusOf("plain.new").st_mode, statusOf("plain").st_mode);
}

// Nobody may give away neither the file nor a group they are not in, but may give a group of their own. Where
// the group is theirs, it gets no more than everybody had: the old group's bits, the list's mask and the
// set-group-id bit would grant it what it never had. A file they may write but not read has attributes they
// cannot read, so it is refused.
TEST_F(FileMetadataTest, AsAnotherUserOwnerAndGroupThatCannotBeGivenAreLeftAndNothingIsWidened) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may become another user";
    ASSERT_EQ(::chmod(path("").c_str(), 0711), 0);
    ASSERT_TRUE(::mkdir(path("nobody").c_str(), 0700) == 0 &&
                ::chown(path("nobody").c_str(), kNobody, kNobody) == 0);
    struct Old {
        std::string name;
        uid_t owner;
        gid_t group;
        mode_t mode;
        std::string result;
        gid_t keptGroup;
        mode_t keptMode;
    };
    const std::vector<Old> olds{{"nobody/theirs", kNobody, 0, 0640, "kept", kNobody, 0600},
                                {"nobody/setgid", kNobody, 0, 02754, "kept", kNobody, 0744},
                                {"nobody/roots", 0, kOtherGroup, 0664, "kept", kOtherGroup, 0664},
                                {"nobody/noted", kNobody, kNobody, 0200,
                                 "Its extended attributes could not be read: Permission denied", 0, 0},
                                {"nobody/plain", kNobody, kNobody, 0200, "kept", kNobody, 0200}};
    for (const Old& old : olds) {
        write(old.name, "old");
        ASSERT_EQ(::chown(path(old.name).c_str(), old.owner, old.group), 0);
        ASSERT_EQ(::chmod(path(old.name).c_str(), old.mode), 0);
    }
    if (const std::string refusal =
            setAccessList(path("nobody/theirs"), "u::rw-,u:0:r--,g::r--,m::r--,o::---") +
            setNote(path("nobody/theirs")) + setNote(path("nobody/noted"));
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list or extended attribute: " << refusal;

    const std::string results = test::asNobody([&] {
        std::string kept;
        for (const Old& old : olds)
            kept += old.name + ": " + keep(old.name, old.name + ".new") + "\n";
        return kept;
    });
    for (const Old& old : olds) {
        EXPECT_NE(results.find(old.name + ": " + old.result + "\n"), std::string::npos) << results;
        const struct stat status = statusOf(old.name + ".new");
        EXPECT_TRUE(old.result != "kept" || status.st_uid == kNobody) << old.name;
        EXPECT_EQ(status.st_gid, old.keptGroup) << old.name;
        EXPECT_EQ(status.st_mode & 07777, old.keptMode) << old.name;
    }
    std::string narrowed = accessList(path("nobody/theirs"));
    narrowed.replace(narrowed.find("mask::r--"), 9, "mask::---");
    EXPECT_EQ(accessList(path("nobody/theirs.new")), narrowed);
    EXPECT_EQ(note(path("nobody/theirs.new")), "hello");
}

} // namespace
