#include "framework/dialogs.h"

#include "framework/dialog_answers.h"
#include "framework/scratch_folder.h"

#include <QPushButton>

namespace {

using SaveDialogTest = test::ScratchFolder;

// A typed folder is opened rather than taken for the file; No to replacing leaves the dialog open, and only
// Yes yields the existing file.
TEST_F(SaveDialogTest, AsksBeforeReplacingWithNoAsTheDefault) {
    const std::string old = write("old.syx", "kept");
    test::DialogAnswers answers({test::TypePath(path("")), test::TypePath(old),
                                 [&](QDialog& dialog) {
                                     auto* box = qobject_cast<QMessageBox*>(&dialog);
                                     EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
                                     box->button(QMessageBox::No)->click();
                                 },
                                 test::TypePath(old), test::Press(QMessageBox::Yes)});

    auto item = fw::GetSaveFolderItem("", "merged_patches.syx");

    EXPECT_EQ(item ? item->AbsolutePath() : "", old);
    EXPECT_EQ(answers.answered(), (std::vector<std::string>{"QFileDialog", "QFileDialog", "QMessageBox",
                                                            "QFileDialog", "QMessageBox"}));
}

} // namespace
