#pragma once

#include "save_target.h"

#include <QFileDialog>

namespace fw {

// The save dialog. Qt's own question before a file is replaced runs an event loop of its own, out of reach of
// ModalDialogs, so this dialog asks itself, through ModalDialogs, and Qt is told not to.
class SaveFileDialog : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const QString& suggestedName);

    // What stood at the chosen file when the user agreed to it.
    const AgreedTarget& agreedTarget() const { return m_agreedTarget; }

protected:
    void accept() override;

private:
    bool confirmReplacing(const QString& name);

    AgreedTarget m_agreedTarget;
};

} // namespace fw
