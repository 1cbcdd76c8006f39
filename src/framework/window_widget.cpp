#include "window_widget.h"

#include "event_loop.h"
#include "window.h"

#include <QCloseEvent>
#include <QResizeEvent>

namespace fw {

WindowWidget::WindowWidget(Window& window) : m_window(window) {
    setCentralWidget(new QWidget(this));
    content()->installEventFilter(this);
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content() && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        dispatch([this, size] { m_window.contentResized(Size{size.width(), size.height()}); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    dispatch([this] { m_window.closed(); });
    event->accept();
}

} // namespace fw
