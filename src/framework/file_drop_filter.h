#pragma once

#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

class QByteArray;
class QDropEvent;

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
    static void answer(QDropEvent& event, bool accepted);
    static QByteArray uriListOf(const QDropEvent& event);
    void raiseDropObject(const std::vector<std::string>& paths);
    bool hasAcceptedType(const std::string& path) const;
    // Whether the list names a file of a type the control accepts, rather than only folders or nothing.
    bool offersAFile(const QByteArray& uriList) const;
    // The dropped paths whose names match a type the control accepts, in drop order, folders among them.
    std::vector<std::string> pathsOfAcceptedType(const QByteArray& uriList) const;

    RectControl& m_control;
    bool m_dragAccepted = false;
};

} // namespace fw
