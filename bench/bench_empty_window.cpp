#include <QApplication>
#include <QWidget>

// The reference for start-up: the least a Qt Widgets program does to show a window of the program's size.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(490, 403);
    window.show();
    return QApplication::exec();
}
