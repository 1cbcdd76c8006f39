#include "framework/dialog_answers.h"

#include "framework/modal_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace test {

// Fails the test and closes the dialog, so that the run goes on.
static void refuse(QDialog& dialog, const char* why) {
    ADD_FAILURE() << "a " << dialog.metaObject()->className() << " has " << why;
    dialog.reject();
}

Answer TypePath(const std::string& path) {
    return [path](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
        if (!edit)
            return refuse(dialog, "no file name to type");
        // With the focus in the field, the dialog lets go of the file selected for the suggested name.
        QApplication::setActiveWindow(&dialog);
        edit->setFocus();
        if (!edit->hasFocus())
            return refuse(dialog, "a file name field that cannot take the focus");
        edit->setText(QFile::decodeName(QByteArray::fromStdString(path)));
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

Answer CancelAfterTyping(const std::string& path) {
    return [path](QDialog& dialog) {
        if (auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit"))
            edit->setText(QFile::decodeName(QByteArray::fromStdString(path)));
        dialog.reject();
    };
}

Answer Press(QMessageBox::StandardButton button) {
    return [button](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        QAbstractButton* pressed = box ? box->button(button) : nullptr;
        if (!pressed)
            return refuse(dialog, "no such button");
        pressed->click();
    };
}

DialogAnswers::DialogAnswers(std::vector<Answer> answers) : m_answers(answers.begin(), answers.end()) {
    fw::ModalDialogs::setAnswerer([this](QDialog& dialog) { answer(dialog); });
}

DialogAnswers::~DialogAnswers() {
    fw::ModalDialogs::setAnswerer({});
    if (!m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " answer(s) found no dialog";
}

void DialogAnswers::answer(QDialog& dialog) {
    m_answered.emplace_back(dialog.metaObject()->className());
    if (m_answers.empty())
        return refuse(dialog, "no answer left");
    const Answer next = std::move(m_answers.front());
    m_answers.pop_front();
    next(dialog);
    if (dialog.isVisible())
        QTimer::singleShot(0, &dialog, [this, &dialog] { answer(dialog); });
}

} // namespace test
