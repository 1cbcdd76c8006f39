// A window that, when pressed, drags the files named on its command line, as a file manager would. When the
// drag ends it prints "accepted" or "refused" and goes on running: the drop target reads the file list from
// this program after the drop, so it must live until whoever started it ends it.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> files) : m_files(std::move(files)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(m_files);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const bool accepted = drag->exec(Qt::CopyAction) != Qt::IgnoreAction;
        std::puts(accepted ? "accepted" : "refused");
        std::fflush(stdout);
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
