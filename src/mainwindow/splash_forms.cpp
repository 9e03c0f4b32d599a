#include "mainwindow/splash_forms.h"

#include "mainwindow/controls.h"

#include <QLabel>

#include <cmath>

namespace morvane::mainwindow {

namespace {
int himetricToPixels(int himetric, double dpi) { return int(std::lround(himetric / 2540.0 * dpi)); }
}  // namespace

SplashWindow::SplashWindow(const QString& objectName, const QString& caption, int widthHimetric,
                           int heightHimetric, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(objectName);
  setWindowTitle(QStringLiteral("Morvane©"));
  const int w = himetricToPixels(widthHimetric, logicalDpiX());
  const int h = himetricToPixels(heightHimetric, logicalDpiY());
  setFixedSize(w, h);

  const int labelHeight = std::max(fontMetrics().height() * 2, h / 6);
  Gif89a1 = new BusyIndicator(this);
  Gif89a1->setObjectName(QStringLiteral("Gif89a1"));
  Gif89a1->setGeometry(0, 0, w, h - labelHeight);

  Label1 = new QLabel(caption, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setGeometry(0, h - labelHeight, w, labelHeight);
  Label1->setAutoFillBackground(true);
  QPalette p = Label1->palette();
  p.setColor(QPalette::Window, QColor(128, 128, 255));
  p.setColor(QPalette::WindowText, palette().color(QPalette::HighlightedText));
  Label1->setPalette(p);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
}

SplashWindow* createSplashForm(QWidget* parent) {
  return new SplashWindow(QStringLiteral("SplashForm"), QStringLiteral("Loading Morvane©..."), 6244,
                          9895, parent);
}

SplashWindow* createClosingForm(QWidget* parent) {
  return new SplashWindow(QStringLiteral("Closing"), QStringLiteral("Closing Morvane©..."), 6244,
                          6985, parent);
}

}  // namespace morvane::mainwindow
