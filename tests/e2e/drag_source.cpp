// A window that, when pressed, drags the files named on its command line, as a file manager would. It prints
// each step a driver must wait for before the next: "dragging" once the drag follows the pointer, "taken"
// once the window under the pointer has answered that it takes the files, "accepted" or "refused" when the
// button is released, and after an accepted drop "finished" once the target reports that it has handled it.
// It goes on running after that, until whoever started it ends it.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace {

void say(const char* step) {
    std::puts(step);
    std::fflush(stdout);
}

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> files) : m_files(std::move(files)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(m_files);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        // Qt cancels a drag whose button is released before the target's answer has come back.
        connect(drag, &QDrag::actionChanged, [](Qt::DropAction action) {
            if (action != Qt::IgnoreAction)
                say("taken");
        });
        // Runs in the drag's own event loop, which exec() enters only once the drag has begun.
        QTimer::singleShot(0, this, [] { say("dragging"); });
        // Qt keeps the drag until the target reports that it has handled the drop, which is later than exec()
        // returns: the target reads the files and adds them only after the button is released.
        connect(drag, &QObject::destroyed, [] { say("finished"); });
        say(drag->exec(Qt::CopyAction) != Qt::IgnoreAction ? "accepted" : "refused");
    }

private:
    QList<QUrl> m_files;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QList<QUrl> files;
    for (const QString& path : QApplication::arguments().mid(1))
        files.append(QUrl::fromLocalFile(path));
    if (files.isEmpty()) {
        std::fputs("usage: drag_source FILE...\n", stderr);
        return 2;
    }
    DragSource window(files);
    window.setWindowTitle("drag source");
    // Beside the main window, which an X server without a window manager places at the top left.
    window.setGeometry(700, 100, 200, 150);
    window.show();
    return QApplication::exec();
}
