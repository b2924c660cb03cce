#include "app/qt/AutoSize.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

TAutoSize::TAutoSize(QWidget* window, const bq::shell::Place& client)
    : QObject(window), window_(window), size_(client.width, client.height) {
    // A dialog stays one, so that it belongs to its parent window: X11 window
    // managers keep only dialogs above the window they belong to.
    const Qt::WindowFlags type = (window_->windowFlags() & Qt::WindowType_Mask) | Qt::Window;
    window_->setWindowFlags(type | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint);
    window_->setFixedSize(size_);
    window_->installEventFilter(this);
}

bool TAutoSize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Show && !shown_) {
        shown_ = true;
        if (const QScreen* screen = window_->screen()) {
            const QRect area = screen->availableGeometry();
            const QSize outer = window_->frameGeometry().size();
            window_->move(area.x() + (area.width() - outer.width()) / 2,
                          area.y() + (area.height() - outer.height()) / 2);
        }
    }
    return QObject::eventFilter(watched, event);
}
