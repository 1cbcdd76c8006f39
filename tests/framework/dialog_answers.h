#pragma once

#include <QMessageBox>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace test {

// What a user does to a modal dialog once it is on screen.
using Answer = std::function<void(QDialog&)>;

// Types a path (bytes, as the system names the file) into a file dialog's name field and presses Return.
Answer TypePath(const std::string& path);
// Types a path into a file dialog's name field, then cancels: nothing typed may count.
Answer CancelAfterTyping(const std::string& path);
Answer Press(QMessageBox::StandardButton button);

// Answers the framework's modal dialogs in order while it lives; a dialog left open takes the next answer
// too. A dialog with no answer left, or an answer never used, fails the test rather than wait forever.
class DialogAnswers {
public:
    explicit DialogAnswers(std::vector<Answer> answers);
    ~DialogAnswers();

    // The Qt class of each dialog as it was answered, such as "QFileDialog" or "QMessageBox".
    const std::vector<std::string>& answered() const { return m_answered; }

private:
    void answer(QDialog& dialog);

    std::deque<Answer> m_answers;
    std::vector<std::string> m_answered;
};

} // namespace test
