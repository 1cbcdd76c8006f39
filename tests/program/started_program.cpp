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
    ASSERT_TRUE(m_folder.isValid());
    RegisterClasses();
    ::SetUp();
}

bool StartedProgram::dropFiles(const std::vector<std::string>& paths) const {
    // Every byte outside the unreserved set is escaped, so a name that is not UTF-8 travels unchanged.
    QByteArray uris;
    for (const std::string& path : paths)
        uris += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    QMimeData data;
    data.setData("text/uri-list", uris);
    QWidget* viewport = listView()->viewport();
    const QPoint centre = viewport->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    return enter.isAccepted() && move.isAccepted() && drop.isAccepted();
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
