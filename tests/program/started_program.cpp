#include "program/started_program.h"

#include "app/startup.h"
#include "framework/runtime.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <fstream>
#include <sstream>

namespace test {
namespace {

// Every byte outside the unreserved set is escaped, so a name that is not UTF-8 travels unchanged.
QByteArray fileUri(const std::string& path) {
    return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/");
}

} // namespace

void StartedProgram::SetUp() {
    ASSERT_TRUE(m_folder.isValid());
    fw::RuntimeInit();
    RegisterClasses();
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
    MakeDefaultView();
}

void StartedProgram::TearDown() {
    ReleaseModuleObjects();
    fw::RuntimeExit();
}

fw::Ref<Window1> StartedProgram::window() const {
    return Window1::Instance();
}

fw::Ref<fw::Listbox> StartedProgram::list() const {
    return fw::Cast<fw::Listbox>(fw::RuntimeWindowControlByName(*window(), "Listbox1"));
}

QTreeView* StartedProgram::listView() const {
    return qobject_cast<QTreeView*>(list()->widget());
}

QPushButton* StartedProgram::button(const std::string& name) const {
    return qobject_cast<QPushButton*>(fw::RuntimeWindowControlByName(*window(), name)->widget());
}

std::vector<std::string> StartedProgram::row(int index) const {
    std::vector<std::string> cells;
    for (int column = 0; column < 4; ++column)
        cells.push_back(list()->Cell(index, column));
    return cells;
}

int StartedProgram::rowCount() const {
    return list()->ListCount();
}

bool StartedProgram::dropFiles(const std::vector<std::string>& paths) const {
    QByteArray uris;
    for (const std::string& path : paths)
        uris += fileUri(path) + "\r\n";
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

void StartedProgram::clickButton(const std::string& name) const {
    QTest::mouseClick(button(name), Qt::LeftButton);
}

std::string StartedProgram::path(const std::string& name) const {
    return m_folder.path().toStdString() + "/" + name;
}

std::string StartedProgram::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
    return path(name);
}

std::string StartedProgram::read(const std::string& name) const {
    std::ostringstream bytes;
    bytes << std::ifstream(path(name), std::ios::binary).rdbuf();
    return bytes.str();
}

} // namespace test
