// The reference for start-up: Wrenfold's window written directly on Qt Widgets, as a Qt programmer would
// write it without our framework. Whatever Qt needs to show this window (fonts for the first text above all)
// both sides pay, so the ratio shows what the framework adds.
#include "plain_columns.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardItemModel>
#include <QTreeView>

#include <array>

namespace {

struct MenuEntry {
    const char* text; // nullptr for a separator
    const char* shortcut;
};

constexpr std::array kEditMenu{
    MenuEntry{"&Undo", "Ctrl+Z"},  MenuEntry{nullptr, ""},
    MenuEntry{"Cu&t", "Ctrl+X"},   MenuEntry{"&Copy", "Ctrl+C"},
    MenuEntry{"&Paste", "Ctrl+V"}, MenuEntry{"&Delete", ""},
    MenuEntry{nullptr, ""},        MenuEntry{"Select &All", "Ctrl+A"},
};

constexpr int kContentWidth = 490;
constexpr int kContentHeight = 403;

// Laid out again whenever it changes size, so that the columns keep their shares of the width.
class PatchList : public QTreeView {
public:
    explicit PatchList(QWidget* parent) : QTreeView(parent) {
        auto* model = new QStandardItemModel(0, bench::kColumnCount, this);
        model->setHorizontalHeaderLabels({"", "File name", "File size", "Patch number"});
        setModel(model);
        setRootIsDecorated(false);
        setItemsExpandable(false);
        setUniformRowHeights(true);
        setAllColumnsShowFocus(true);
        setSelectionMode(SingleSelection);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        header()->setStretchLastSection(false);
        header()->setSectionsMovable(false);
        header()->setSectionResizeMode(QHeaderView::Fixed);
        viewport()->setAcceptDrops(true);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTreeView::resizeEvent(event);
        bench::layOutColumns(*this);
    }
};

void buildMenus(QMenuBar& bar) {
    QMenu* file = bar.addMenu("&File");
    QObject::connect(file->addAction("&Quit", QKeySequence("Ctrl+Q")), &QAction::triggered, qApp,
                     &QApplication::quit);
    QMenu* edit = bar.addMenu("&Edit");
    for (const MenuEntry& entry : kEditMenu) {
        if (entry.text)
            edit->addAction(entry.text, QKeySequence(entry.shortcut));
        else
            edit->addSeparator();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Wrenfold");
    buildMenus(*window.menuBar());
    auto* content = new QWidget;
    content->setMinimumSize(64, 64);
    content->setMaximumSize(32000, 32000);
    window.setCentralWidget(content);
    // The window takes the content area's limits, grown by the menu bar.
    window.layout()->setSizeConstraint(QLayout::SetMinAndMaxSize);
    (new QPushButton("Add Prophet 600 Patch File (.syx)", content))->setGeometry(20, 14, 450, 20);
    (new PatchList(content))->setGeometry(20, 46, 450, 305);
    (new QPushButton("Merge Patches Into One File", content))->setGeometry(20, 363, 450, 20);
    window.resize(kContentWidth, kContentHeight + window.menuBar()->heightForWidth(kContentWidth));
    window.show();
    return QApplication::exec();
}
