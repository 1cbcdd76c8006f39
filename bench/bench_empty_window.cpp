#include <QApplication>
#include <QWidget>

// Beside the start-up reference, for information: the least a Qt Widgets program does to show a window of the
// program's size, with no text and so no fonts to set up.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(490, 403);
    window.show();
    return QApplication::exec();
}
