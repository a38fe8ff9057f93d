#pragma once
// The start-up splash: the splash bitmap with texts 1 to 6, closed after 5 s or by the first key
// press or mouse button anywhere in the application.
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "base/TextSource.h"

namespace velora::gui {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    // colourDepth decides the bitmap (132 from 16 bits up, else 134) and the white text shadow.
    SplashWindow(const TextSource& texts, int colourDepth);
    ~SplashWindow() override;
    void showCentred();

  protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QPixmap bitmap_;
    QStringList lines_;
    bool shadow_;
    QTimer timer_;
};

} // namespace velora::gui
