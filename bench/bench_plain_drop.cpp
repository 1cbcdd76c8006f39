// The reference for drops: Wrenfold's patch list written directly on Qt Widgets, taking the same drop as a Qt
// programmer would write it without our framework. Each dropped patch file is opened, its first four bytes
// read and its size asked of the open file, and one row added. Whatever Qt needs to take a drop and keep a
// list both sides pay, so the ratio shows what the framework adds.
#include "bench_support.h"

#include "plain_columns.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

class PatchList : public QTreeWidget {
public:
    explicit PatchList(QWidget* parent) : QTreeWidget(parent) {
        setColumnCount(bench::kColumnCount);
        setHeaderLabels({"", "File name", "File size", "Patch number"});
        setRootIsDecorated(false);
        setItemsExpandable(false);
        setUniformRowHeights(true);
        setAllColumnsShowFocus(true);
        header()->setStretchLastSection(false);
        header()->setSectionsMovable(false);
        viewport()->setAcceptDrops(true);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTreeWidget::resizeEvent(event);
        bench::layOutColumns(*this);
    }

    void dragEnterEvent(QDragEnterEvent* event) override { acceptFiles(*event); }
    void dragMoveEvent(QDragMoveEvent* event) override { acceptFiles(*event); }

    void dropEvent(QDropEvent* event) override {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile() && url.fileName().endsWith(".syx", Qt::CaseInsensitive))
                addPatch(url.toLocalFile());
        }
        acceptFiles(*event);
    }

private:
    static void acceptFiles(QDropEvent& event) {
        if (!event.mimeData()->hasUrls())
            return;
        event.setDropAction(Qt::CopyAction);
        event.accept();
    }

    void addPatch(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray header = file.read(4);
        const int patchNumber = header.size() == 4 ? static_cast<unsigned char>(header[3]) : 0;
        const QString name = path.section('/', -1);
        addTopLevelItem(new QTreeWidgetItem(
            {path, name, QString::number(file.size()) + " bytes", QString::number(patchNumber)}));
    }
};

void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("propagateSizeHints"))
        return;
    qt_message_output(type, context, message);
}

QByteArray uriList(const std::vector<std::string>& paths) {
    QByteArray list;
    for (const std::string& path : paths)
        list += QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded() + "\r\n";
    return list;
}

// Drags the files over the list and drops them there, as the benchmark drops them on Wrenfold's list; the
// time until the drop has been handled.
double drop(QTreeWidget& list, const QMimeData& data) {
    QWidget* viewport = list.viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const double start = bench::nowMs();
    QCoreApplication::sendEvent(viewport, &enter);
    QCoreApplication::sendEvent(viewport, &move);
    QCoreApplication::sendEvent(viewport, &dropped);
    const double end = bench::nowMs();
    if (!enter.isAccepted() || !move.isAccepted() || !dropped.isAccepted())
        bench::fail("the list refused the drop");
    return end - start;
}

} // namespace

// bench_plain_drop FOLDER FILES: drops FILES patch files of the data set in FOLDER on an empty list,
// offscreen, and prints the milliseconds the drop took.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER FILES\n", argv[0]);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietOffscreenWarnings);
    QApplication application(argc, argv);
    try {
        const int files = std::stoi(argv[2]);
        QMimeData data;
        data.setData("text/uri-list", uriList(bench::patchFiles(argv[1], files)));
        QWidget window;
        window.resize(490, 403);
        auto* list = new PatchList(&window);
        list->setGeometry(20, 46, 450, 305);
        window.show();
        for (int pass = 0; pass < 3; ++pass)
            QCoreApplication::processEvents();
        const double elapsed = drop(*list, data);
        if (list->topLevelItemCount() != files)
            bench::fail("the drop added " + std::to_string(list->topLevelItemCount()) + " of " +
                        std::to_string(files) + " files");
        std::printf("%f\n", elapsed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
