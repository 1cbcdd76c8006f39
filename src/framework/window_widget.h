#pragma once

#include <QMainWindow>

namespace fw {

class Window;

// The Qt window behind a framework Window: a main window whose central widget is the content area in which
// controls are placed. It tells its Window when the content area changes size and when the user closes it.
class WindowWidget : public QMainWindow {
public:
    explicit WindowWidget(Window& window);

    QWidget* content() const { return centralWidget(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Window& m_window;
};

} // namespace fw
