// SplashForm and Closing: the two small windows shown while the tool loads and closes.
#pragma once

#include <QWidget>

class QLabel;

namespace morvane::mainwindow {

class BusyIndicator;

// A caption under an animated indicator; the window is "Morvane©".
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  // Size in HIMETRIC (hundredths of a millimetre), as the design gives it.
  SplashWindow(const QString& objectName, const QString& caption, int widthHimetric,
               int heightHimetric, QWidget* parent = nullptr);
  QLabel* Label1 = nullptr;
  BusyIndicator* Gif89a1 = nullptr;
};

// "Loading Morvane©...", 6244 x 9895 HIMETRIC.
SplashWindow* createSplashForm(QWidget* parent = nullptr);
// "Closing Morvane©...", 6244 x 6985 HIMETRIC.
SplashWindow* createClosingForm(QWidget* parent = nullptr);

}  // namespace morvane::mainwindow
