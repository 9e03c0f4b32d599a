// Small widgets the forms need beyond Qt's own: a clickable image, the object list, the
// preview image, the vertical spin button and the busy indicator of the splash and closing
// forms.
#pragma once

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

#include "office/picture.h"

class QToolButton;
class QTimer;

namespace morvane::mainwindow {

// Sets the text colour a design fixes together with the background it stands on, so the pair
// reads the same under any desktop palette, a dark one included.
void setFixedColours(QWidget* control, const QColor& text, const QColor& background);

// The contrast ratio of two colours, from 1 (none) to 21 (black on white), by their relative
// luminance as the accessibility guidelines measure it.
double contrastRatio(const QColor& a, const QColor& b);

// A label that reports a left click (the help icon).
class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickableLabel(QWidget* parent = nullptr) : QLabel(parent) {}
 signals:
  void clicked();
 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The object list. It tells whether the selection change under way comes from a key the user
// pressed in it: moving through the list with the keyboard keeps the focus there.
class ObjectList : public QTreeWidget {
  Q_OBJECT
 public:
  explicit ObjectList(QWidget* parent = nullptr) : QTreeWidget(parent) {}
  bool handlingKey() const { return m_handlingKey; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool m_handlingKey = false;
};

// Shows an owned picture scaled into its rectangle, keeping the proportions, centred.
class PictureView : public QWidget {
  Q_OBJECT
 public:
  explicit PictureView(QWidget* parent = nullptr);
  // Takes the picture; nullptr clears the view.
  void setPicture(std::unique_ptr<office::Picture> picture);
  const office::Picture* picture() const { return m_picture.get(); }
  // Where the picture is drawn inside the view; empty without a picture.
  QRectF pictureRect() const;
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  std::unique_ptr<office::Picture> m_picture;
};

// A vertical spin button: an up arrow above a down arrow, holding no value. It takes the
// keyboard focus as one control, whose Up and Down keys press its arrows.
class SpinButton : public QWidget {
  Q_OBJECT
 public:
  explicit SpinButton(QWidget* parent = nullptr);
  QToolButton* upButton() const { return m_up; }
  QToolButton* downButton() const { return m_down; }
 signals:
  void spinUp();
  void spinDown();
 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QToolButton* m_up;
  QToolButton* m_down;
};

// A ring of dots turning while the indicator is visible.
class BusyIndicator : public QWidget {
  Q_OBJECT
 public:
  explicit BusyIndicator(QWidget* parent = nullptr);
  int step() const { return m_step; }
  bool isAnimating() const;
 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
 private:
  QTimer* m_timer;
  int m_step = 0;
};

}  // namespace morvane::mainwindow
