#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/file_attributes.h"

#include <QMessageBox>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// Saving a merge through the save dialog, where what the user agreed to is the file the save then replaces.
class SaveTest : public test::StartedProgram {
protected:
    void SetUp() override {
        test::StartedProgram::SetUp();
        ASSERT_TRUE(dropFiles({write("a.syx", "AA")}));
    }

    // Clicks the merge button and types the path; the texts of the dialogs that follow, each answered with
    // the next of the answers.
    std::vector<std::string> mergeAnswering(const std::string& name, const std::vector<test::Answer>& then) {
        std::vector<std::string> texts;
        std::vector<test::Answer> answers{test::TypePath(path(name))};
        for (const test::Answer& answer : then)
            answers.push_back([&texts, answer](QDialog& dialog) {
                const auto* box = qobject_cast<QMessageBox*>(&dialog);
                texts.push_back(box ? (box->text() + "\n" + box->informativeText()).toStdString()
                                    : "no message");
                answer(dialog);
            });
        test::DialogAnswers dialogs(answers);
        click("PushButton2");
        return texts;
    }
};

// The question is asked of, and the merge written into, the file that the kernel reaches: here ".." in a
// link's text leads up from the folder that a linked folder stands for, not from the linked folder's name.
TEST_F(SaveTest, FileReachedThroughLinksIsAskedAboutAndWritten) {
    ASSERT_TRUE(QDir(m_folder.path()).mkpath("real/deep"));
    ASSERT_EQ(::symlink("real/deep", path("linked").c_str()), 0);
    ASSERT_EQ(::symlink("../out.syx", path("real/deep/up.syx").c_str()), 0);
    write("real/out.syx", "old");

    const std::vector<std::string> texts = mergeAnswering("linked/up.syx", {test::Press(QMessageBox::Yes)});

    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("\"up.syx\" already exists"), std::string::npos) << texts[0];
    EXPECT_EQ(read("real/out.syx"), "AA");
    EXPECT_EQ(files(), QStringList{"a.syx"});
}

// A file whose existence cannot be checked is not taken for none, which would replace it unasked: the save
// is refused and the user told why. As root, the file lies behind a link that another user planted in a
// shared folder, which the kernel will not follow for root; for anyone else, in a folder they cannot search.
TEST_F(SaveTest, FileThatCannotBeLookedAtIsRefusedRatherThanReplacedUnasked) {
    std::string name = "closed/out.syx";
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("closed"));
    write(name, "kept");
    if (::geteuid() == 0) {
        ASSERT_TRUE(QDir(m_folder.path()).mkdir("shared"));
        ASSERT_EQ(::chmod(path("shared").c_str(), 01777), 0);
        ASSERT_EQ(::symlink("../closed/out.syx", path("shared/planted.syx").c_str()), 0);
        ASSERT_EQ(::lchown(path("shared/planted.syx").c_str(), kNobody, kNobody), 0);
        name = "shared/planted.syx";
    } else {
        ASSERT_EQ(::chmod(path("closed").c_str(), 0), 0);
    }

    const std::vector<std::string> texts = mergeAnswering(name, {test::Press(QMessageBox::Ok)});

    ::chmod(path("closed").c_str(), 0755);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(path(name) + "\" could not be written"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("Permission denied"), std::string::npos) << texts[0];
    EXPECT_EQ(read("closed/out.syx"), "kept");
}

// Yes to replacing a file agrees to that file only: another one put in its place while the question was
// open is left as it is.
TEST_F(SaveTest, FilePutInPlaceOfTheOneAskedAboutIsNotReplaced) {
    write("out.syx", "asked about");
    write("other.syx", "put in its place");
    const std::vector<std::string> texts = mergeAnswering(
        "out.syx", {[this](QDialog& dialog) {
                        ASSERT_EQ(std::rename(path("other.syx").c_str(), path("out.syx").c_str()), 0);
                        test::Press(QMessageBox::Yes)(dialog);
                    },
                    test::Press(QMessageBox::Ok)});

    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[1].find("It was changed after it was chosen"), std::string::npos) << texts[1];
    EXPECT_EQ(read("out.syx"), "put in its place");
    EXPECT_EQ(files(), (QStringList{"a.syx", "out.syx"}));
}

// Replacing a file keeps who may do what with it: a save by root that dropped the owner, the group, the
// set-group-id bit or the access list would hand the file to root, or give its group what only a named group
// had.
TEST_F(SaveTest, ReplacedFileKeepsItsOwnerModeAccessListAndNotes) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    constexpr gid_t kAudio = 29;
    write("out.syx", "old");
    ASSERT_EQ(::chown(path("out.syx").c_str(), kNobody, kAudio), 0);
    ASSERT_EQ(::chmod(path("out.syx").c_str(), 02640), 0);
    if (const std::string refusal =
            test::setAccessList(path("out.syx"), "u::rw-,u:65534:r--,g::r--,g:29:rw-,m::rw-,o::---");
        !refusal.empty())
        GTEST_SKIP() << "this file system keeps no access list: " << refusal;
    if (const std::string refusal = test::setNote(path("out.syx")); !refusal.empty())
        GTEST_SKIP() << "this file system keeps no extended attribute: " << refusal;
    struct stat before {};
    ASSERT_EQ(::stat(path("out.syx").c_str(), &before), 0);
    const std::string list = test::accessList(path("out.syx"));

    mergeInto("out.syx");

    struct stat after {};
    ASSERT_EQ(::stat(path("out.syx").c_str(), &after), 0);
    EXPECT_EQ(read("out.syx"), "AA");
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, kNobody);
    EXPECT_EQ(after.st_gid, kAudio);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(test::accessList(path("out.syx")), list);
    EXPECT_EQ(test::note(path("out.syx")), "hello");
}

} // namespace
