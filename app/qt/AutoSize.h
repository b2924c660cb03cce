// Gives a window the client size it was designed with, measured from a
// marker point two pixels inside its bottom-right corner, so that the
// absolute control positions fit whatever the window frame is. The window
// cannot be resized, offers only a close box and is centred on the screen
// the first time it is shown.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>

class QWidget;

class TAutoSize : public QObject {
    Q_OBJECT
  public:
    TAutoSize(QWidget* window, QPoint marker);
    QSize ClientSize() const { return size_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QSize size_;
    bool shown_ = false;
};
