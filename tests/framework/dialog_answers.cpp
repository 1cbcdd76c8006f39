#include "framework/dialog_answers.h"

#include "framework/modal_dialogs.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace test {

QLineEdit* fileNameEdit(QDialog& dialog) {
    return dialog.findChild<QLineEdit*>("fileNameEdit");
}

void typePath(QDialog& dialog, const std::string& path) {
    QLineEdit* edit = fileNameEdit(dialog);
    if (!edit) {
        ADD_FAILURE() << "a " << dialog.metaObject()->className() << " has no file name to type";
        dialog.reject();
        return;
    }
    edit->setText(QFile::decodeName(QByteArray::fromStdString(path)));
    QTest::keyClick(edit, Qt::Key_Return);
}

void cancel(QDialog& dialog) {
    dialog.reject();
}

void press(QDialog& dialog, QMessageBox::StandardButton button) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    QAbstractButton* pressed = box ? box->button(button) : nullptr;
    if (!pressed) {
        ADD_FAILURE() << "a " << dialog.metaObject()->className() << " has no such button";
        dialog.reject();
        return;
    }
    pressed->click();
}

Answer TypePath(const std::string& path) {
    return [path](QDialog& dialog) { typePath(dialog, path); };
}

Answer Cancel() {
    return cancel;
}

Answer Press(QMessageBox::StandardButton button) {
    return [button](QDialog& dialog) { press(dialog, button); };
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
    if (m_answers.empty()) {
        ADD_FAILURE() << "no answer left for a " << m_answered.back();
        dialog.reject();
        return;
    }
    const Answer next = std::move(m_answers.front());
    m_answers.pop_front();
    next(dialog);
    if (!dialog.isVisible())
        return;
    // Still open: the next answer is for this dialog again, once its event loop runs.
    QTimer::singleShot(0, &dialog, [this, &dialog] { answer(dialog); });
}

} // namespace test
