#pragma once

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QDropEvent;
class QMimeData;

namespace fw {

class RectControl;

// Takes drops of files on a control's widget. It offers the control those dropped files whose names match a
// file type the control accepts, in the order of the drop, as a DragItem with "DropObject"; a drop with no
// such file is refused, so the cursor shows it. Folders are never patch files, whatever their names.
class FileDropFilter : public QObject {
public:
    FileDropFilter(RectControl& control, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A file the control takes, and whether it was there when it was looked at.
    struct DroppedFile {
        std::string path;
        bool exists;
    };

    static void answer(QDropEvent& event, bool accepted);
    void raiseDropObject(const std::vector<DroppedFile>& files);
    // The dropped files this control takes, in drop order, at most the given count.
    std::vector<DroppedFile> acceptedFiles(const QMimeData* data, std::size_t most = SIZE_MAX) const;

    RectControl& m_control;
    bool m_dragAccepted = false;
};

} // namespace fw
