#pragma once

#include <QFileDialog>

class QFileInfo;

namespace fw {

// The save dialog. Qt's own question before a file is replaced runs an event loop of its own, out of reach of
// ModalDialogs, so this dialog asks itself, through ModalDialogs, and Qt is told not to.
class SaveFileDialog : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const QString& suggestedName);

protected:
    void accept() override;

private:
    bool confirmReplacing(const QFileInfo& file);
};

} // namespace fw
