#pragma once

#include <functional>

class QDialog;

namespace fw {

// Every modal dialog that the framework shows is run here. A test installs an answerer, which is handed each
// dialog once it is on screen and answers it as a user would (types a name, presses a button).
class ModalDialogs {
public:
    using Answerer = std::function<void(QDialog&)>;

    static void setAnswerer(Answerer answerer);
    // Runs the dialog to its end and yields its result code; Rejected at once, unshown, after a Quit.
    static int run(QDialog& dialog);
};

} // namespace fw
