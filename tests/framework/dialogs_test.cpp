#include "framework/dialogs.h"

#include "framework/dialog_answers.h"
#include "framework/folder_item.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A typed folder is opened rather than taken for the file; No to replacing leaves the dialog open, and only
// Yes yields the existing file.
TEST(SaveDialog, AsksBeforeReplacingWithNoAsTheDefault) {
    QTemporaryDir folder;
    const std::string old = folder.path().toStdString() + "/old.syx";
    std::ofstream(old) << "kept";
    QString question;
    test::DialogAnswers answers({test::TypePath(folder.path().toStdString()), test::TypePath(old),
                                 [&](QDialog& dialog) {
                                     auto* box = qobject_cast<QMessageBox*>(&dialog);
                                     if (!box)
                                         return dialog.reject();
                                     question = box->text();
                                     EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
                                     box->button(QMessageBox::No)->click();
                                 },
                                 test::TypePath(old), test::Press(QMessageBox::Yes)});

    auto item = fw::GetSaveFolderItem("", "merged_patches.syx");

    ASSERT_TRUE(item);
    EXPECT_EQ(item->AbsolutePath(), old);
    EXPECT_EQ(question, "\"old.syx\" already exists. Do you want to replace it?");
    EXPECT_EQ(answers.answered(), (std::vector<std::string>{"QFileDialog", "QFileDialog", "QMessageBox",
                                                            "QFileDialog", "QMessageBox"}));
}

} // namespace
