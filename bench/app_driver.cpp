#include "app_driver.h"

#include "bench_support.h"
#include "framework/control.h"
#include "framework/folder_item.h"
#include "framework/listbox.h"
#include "framework/modal_dialogs.h"
#include "startup/startup.h"
#include "window/window1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cstdlib>

namespace bench {
namespace {

// The offscreen platform warns about every window it cannot size by hints; a table has no room for that.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("propagateSizeHints"))
        return;
    qt_message_output(type, context, message);
}

// Answers as a user would: the output path typed into the save dialog, Yes to replacing a file. Any other
// dialog, or one that stays open and would wait forever, is cancelled; the run then fails on its output.
void answer(QDialog& dialog, const QString& outputPath) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->reject();
        return;
    }
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (!name) {
        dialog.reject();
        return;
    }
    name->setText(outputPath);
    dialog.accept();
    if (dialog.isVisible())
        dialog.reject();
}

} // namespace

AppUnderTest::OffscreenPlatform::OffscreenPlatform() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietOffscreenWarnings);
}

AppUnderTest::AppUnderTest() {
    RegisterClasses();
    SetUp();
    m_window = Window1::Instance();
    settle();
}

AppUnderTest::~AppUnderTest() = default;

void AppUnderTest::addPatches(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        m_window->AddPatch(fw::GetFolderItem(path, 0));
    if (rowCount() != static_cast<int>(paths.size()))
        fail("the list took " + std::to_string(rowCount()) + " of " + std::to_string(paths.size()) +
             " files");
    settle();
}

int AppUnderTest::rowCount() const {
    return fw::Cast<fw::Listbox>(fw::RuntimeWindowControlByName(*m_window, "Listbox1"))->ListCount();
}

double AppUnderTest::clickMerge(const std::string& outputPath) {
    auto* button = qobject_cast<QPushButton*>(controlWidget("PushButton2"));
    if (!button)
        fail("the merge button is not a push button");
    const QString typed = QString::fromStdString(outputPath);
    // The merge is timed from the moment its save dialog is answered: the dialog is the user's time, and the
    // reference has none.
    double answered = 0;
    fw::ModalDialogs::setAnswerer([typed, &answered](QDialog& dialog) {
        answer(dialog, typed);
        answered = nowMs();
    });
    button->click();
    const double end = nowMs();
    fw::ModalDialogs::setAnswerer({});
    return end - answered;
}

double AppUnderTest::drop(const QMimeData& data) {
    auto* list = qobject_cast<QAbstractItemView*>(controlWidget("Listbox1"));
    if (!list)
        fail("the patch list is not an item view");
    QWidget* viewport = list->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const double start = nowMs();
    QCoreApplication::sendEvent(viewport, &enter);
    QCoreApplication::sendEvent(viewport, &move);
    QCoreApplication::sendEvent(viewport, &drop);
    const double end = nowMs();
    if (!enter.isAccepted() || !move.isAccepted() || !drop.isAccepted())
        fail("the patch list refused the drop");
    return end - start;
}

void AppUnderTest::settle() {
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::processEvents();
}

QWidget* AppUnderTest::controlWidget(const std::string& name) const {
    fw::Ref<fw::Control> control = fw::RuntimeWindowControlByName(*m_window, name);
    if (!control)
        fail("the window has no control " + name);
    return control->widget();
}

} // namespace bench
