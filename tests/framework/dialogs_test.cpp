#include "framework/dialogs.h"

#include "framework/class_record.h"
#include "framework/dialog_answers.h"
#include "framework/file_type.h"
#include "framework/folder_item.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class DialogsTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    QTemporaryDir m_folder;
};

// The type has a name of its own: the program registers "Prophet 600 Patch" and counts its registrations.
TEST_F(DialogsTest, OpenDialogOffersTheFileTypeAndYieldsTheTypedFile) {
    auto type = fw::New<fw::FileType>();
    type->Name("Chooser Patch");
    type->Extensions(".syx");
    write("a.syx", "\xF0\xF7");
    QStringList offered;
    test::DialogAnswers answers({[&](QDialog& dialog) {
        offered = qobject_cast<QFileDialog*>(&dialog)->nameFilters();
        test::typePath(dialog, path("a.syx"));
    }});

    auto item = fw::GetOpenFolderItem(type->Operator_Convert());

    ASSERT_TRUE(item);
    EXPECT_EQ(item->AbsolutePath(), path("a.syx"));
    EXPECT_EQ(offered, QStringList{"Chooser Patch (*.syx)"});
}

TEST_F(DialogsTest, CancellingEitherDialogYieldsNil) {
    test::DialogAnswers answers({test::Cancel(), test::Cancel()});
    EXPECT_FALSE(fw::GetOpenFolderItem(""));
    EXPECT_FALSE(fw::GetSaveFolderItem("", "merged_patches.syx"));
}

TEST_F(DialogsTest, SaveDialogSuggestsTheNameAndYieldsATypedNewPathWithoutAsking) {
    QString suggested;
    test::DialogAnswers answers({[&](QDialog& dialog) {
        suggested = test::fileNameEdit(dialog)->text();
        test::typePath(dialog, path("new.syx"));
    }});

    auto item = fw::GetSaveFolderItem("", "merged_patches.syx");

    ASSERT_TRUE(item);
    EXPECT_EQ(item->AbsolutePath(), path("new.syx"));
    EXPECT_EQ(suggested, "merged_patches.syx");
    EXPECT_EQ(answers.answered(), std::vector<std::string>{"QFileDialog"});
}

TEST_F(DialogsTest, SaveDialogAsksBeforeReplacingAndStaysOpenOnNo) {
    write("old.syx", "kept");
    QString question;
    test::DialogAnswers answers({test::TypePath(path("old.syx")),
                                 [&](QDialog& dialog) {
                                     auto& box = static_cast<QMessageBox&>(dialog);
                                     question = box.text();
                                     EXPECT_EQ(box.standardButton(box.defaultButton()), QMessageBox::No);
                                     test::press(dialog, QMessageBox::No);
                                 },
                                 test::Cancel()});

    EXPECT_FALSE(fw::GetSaveFolderItem("", "merged_patches.syx"));
    EXPECT_EQ(question, "\"old.syx\" already exists. Do you want to replace it?");
    EXPECT_EQ(answers.answered(), (std::vector<std::string>{"QFileDialog", "QMessageBox", "QFileDialog"}));
}

TEST_F(DialogsTest, SaveDialogYieldsAnExistingFileOnYes) {
    write("old.syx", "kept");
    test::DialogAnswers answers({test::TypePath(path("old.syx")), test::Press(QMessageBox::Yes)});

    auto item = fw::GetSaveFolderItem("", "merged_patches.syx");

    ASSERT_TRUE(item);
    EXPECT_EQ(item->AbsolutePath(), path("old.syx"));
}

TEST_F(DialogsTest, SaveDialogNeverTakesAFolderForTheFile) {
    test::DialogAnswers answers({test::TypePath(m_folder.path().toStdString()), test::Cancel()});
    EXPECT_FALSE(fw::GetSaveFolderItem("", "merged_patches.syx"));
    EXPECT_EQ(answers.answered(), (std::vector<std::string>{"QFileDialog", "QFileDialog"}));
}

} // namespace
