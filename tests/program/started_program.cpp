#include "program/started_program.h"

#include "framework/dialog_answers.h"
#include "framework/event_loop.h"
#include "startup/startup.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace test {

void StartedProgram::SetUp() {
    RegisterClasses();
    ::SetUp();
}

bool StartedProgram::dropFiles(const std::vector<std::string>& paths) const {
    // Escaped, so a name that is not UTF-8 travels unchanged.
    QByteArray uris;
    for (const std::string& path : paths)
        uris += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    return drop(uris, Qt::CopyAction) == Qt::CopyAction;
}

Qt::DropAction StartedProgram::drop(const QByteArray& uriList, Qt::DropActions actions) const {
    QMimeData data;
    data.setData("text/uri-list", uriList);
    QWidget* viewport = listView()->viewport();
    const QPoint centre = viewport->rect().center();
    QDragEnterEvent enter(centre, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragMoveEvent move(centre, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDropEvent dropped(QPointF(centre), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
    for (QDropEvent* event : std::initializer_list<QDropEvent*>{&enter, &move, &dropped})
        QApplication::sendEvent(viewport, event);
    const bool taken = enter.isAccepted() && move.isAccepted() && dropped.isAccepted();
    return taken ? dropped.dropAction() : Qt::IgnoreAction;
}

void StartedProgram::mergeInto(const std::string& name) const {
    std::vector<Answer> answers{TypePath(path(name))};
    if (QFileInfo::exists(QString::fromStdString(path(name))))
        answers.push_back(Press(QMessageBox::Yes));
    DialogAnswers dialogs(answers);
    click("PushButton2");
}

bool StartedProgram::nothingEscaped() const {
    fw::Quit(0);
    try {
        fw::RuntimeRun();
    } catch (...) {
        return false;
    }
    return true;
}

} // namespace test
