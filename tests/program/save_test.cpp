#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/file_attributes.h"

#include <QMessageBox>

#include <cstdio>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// Saving a merge through the save dialog, where what the user agreed to is the file the save then replaces.
class SaveTest : public test::StartedProgram {
protected:
    void SetUp() override {
        test::StartedProgram::SetUp();
        ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    }
    // Merges into the path typed, answering what is asked with the answers; the report that follows.
    std::string mergeRefused(const std::string& name, std::vector<test::Answer> answers = {}) {
        std::string report;
        answers.insert(answers.begin(), test::TypePath(path(name)));
        answers.push_back([&report](QDialog& dialog) {
            const auto* box = qobject_cast<QMessageBox*>(&dialog);
            report = box ? (box->text() + "\n" + box->informativeText()).toStdString() : "not a report";
            test::Press(QMessageBox::Ok)(dialog);
        });
        test::DialogAnswers dialogs(answers);
        click("PushButton2");
        return report;
    }
};

// The question is asked of, and the merge written into, the file the kernel reaches; a save by root that lost
// its owner, group, set-id bits or access list would hand it to root, or its group what a named group had.
TEST_F(SaveTest, FileReachedThroughLinksIsReplacedKeepingItsOwnerModeAccessListAndNotes) {
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("real/deep"));
    ASSERT_EQ(::symlink("real/deep", path("linked").c_str()), 0);
    ASSERT_EQ(::symlink("../out.syx", path("real/deep/up.syx").c_str()), 0);
    const std::string out = write("real/out.syx", "old");
    ASSERT_TRUE(::geteuid() != 0 || (::chown(out.c_str(), test::kNobody, test::kOtherGroup) == 0 &&
                                     ::chmod(out.c_str(), 07640) == 0));
    if (const std::string refusal =
            test::setAccessList(out, "u::rw-,u:65534:r--,g::r--,g:29:rw-,m::rw-,o::---") + test::setNote(out);
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list or extended attribute: " << refusal;
    struct stat before {};
    ASSERT_EQ(::stat(out.c_str(), &before), 0);
    const std::string list = test::accessList(out);

    mergeInto("linked/up.syx");

    struct stat after {};
    ASSERT_EQ(::stat(out.c_str(), &after), 0);
    EXPECT_EQ(read("real/out.syx"), "AA");
    EXPECT_EQ(files(), QStringList{"a.syx"});
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode),
              std::tie(before.st_uid, before.st_gid, before.st_mode));
    EXPECT_EQ(test::accessList(out), list);
    EXPECT_EQ(test::note(out), "hello");
}

// A file whose existence cannot be checked is not taken for none, which would replace it unasked: for root,
// behind a link another user planted in a shared folder; for anyone else, in a folder they cannot search.
TEST_F(SaveTest, FileThatCannotBeLookedAtIsRefusedRatherThanReplacedUnasked) {
    std::string name = "closed/out.syx";
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("closed") && QDir(m_folder.path()).mkpath("shared"));
    write(name, "kept");
    ASSERT_EQ(::chmod(path("shared").c_str(), 01777), 0);
    ASSERT_EQ(::symlink("../closed/out.syx", path("shared/planted.syx").c_str()), 0);
    if (::geteuid() == 0 && ::lchown(path("shared/planted.syx").c_str(), test::kNobody, test::kNobody) == 0)
        name = "shared/planted.syx";
    else
        ASSERT_EQ(::chmod(path("closed").c_str(), 0), 0);

    const std::string report = mergeRefused(name);

    ::chmod(path("closed").c_str(), 0755);
    EXPECT_NE(report.find(path(name) + "\" could not be written"), std::string::npos) << report;
    EXPECT_NE(report.find("Permission denied"), std::string::npos) << report;
    EXPECT_EQ(read("closed/out.syx"), "kept");
}

// Yes to replacing a file agrees to that file, not to another put in its place while the question was open.
TEST_F(SaveTest, FilePutInPlaceOfTheOneAskedAboutIsNotReplaced) {
    write("out.syx", "asked about");
    write("other.syx", "put in its place");
    const std::string report =
        mergeRefused("out.syx", {[this](QDialog& dialog) {
                         ASSERT_EQ(std::rename(path("other.syx").c_str(), path("out.syx").c_str()), 0);
                         test::Press(QMessageBox::Yes)(dialog);
                     }});

    EXPECT_NE(report.find("It was changed after it was chosen"), std::string::npos) << report;
    EXPECT_EQ(read("out.syx"), "put in its place");
    EXPECT_EQ(files(), (QStringList{"a.syx", "out.syx"}));
}

} // namespace
