// Gives a window the client size it was designed with, so that the
// absolute control positions fit whatever the window frame is. The window
// cannot be resized, offers only a close box and is centred on the screen
// the first time it is shown.
#pragma once

#include <QObject>
#include <QSize>

#include "shell/window_design.h"

class QWidget;

class TAutoSize : public QObject {
    Q_OBJECT
  public:
    // `client` is the window's designed client area.
    TAutoSize(QWidget* window, const bq::shell::Place& client);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QSize size_;
    bool shown_ = false;
};
