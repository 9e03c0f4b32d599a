// ElasticLayout: keeps a form's controls where its design puts them and shares out the room
// the form has beyond its design size; a form smaller than its design size keeps the design's
// layout and scrolls it (scroll bars, the mouse wheel, and the focus brought into view).
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class QScrollBar;
class QWidget;

namespace morvane::mainwindow {

class ElasticLayout : public QObject {
  Q_OBJECT

 public:
  // How far each edge of a control moves, as a share of the room beyond the design size:
  // {} stays put, {0, 0, 1, 0} stretches to the right, {1, 1, 1, 1} keeps to the bottom-right
  // corner. A control inside another control shares out that control's growth instead.
  struct Shares {
    double left = 0, top = 0, right = 0, bottom = 0;
  };

  // Takes the form's direct children where they stand as their design rectangles; they stay
  // put until given shares. The layout belongs to the form.
  ElasticLayout(QWidget* form, QSize designSize);

  // REQUIRES: `control` is the form's child or, placed after its parent, a grandchild.
  void setShares(QWidget* control, Shares shares);
  // Lays the controls out for the form's size and scroll position (on every resize).
  void relayout();
  // Scrolls as little as needed to bring `control` (a descendant of the form) into view.
  void ensureVisible(QWidget* control);

  QScrollBar* horizontalBar() const { return m_horizontal; }
  QScrollBar* verticalBar() const { return m_vertical; }
  // The part of the form that shows content, in the form's coordinates.
  QRect viewport() const { return m_viewport; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QWidget* control;
    QRect design;
    Shares shares;
  };
  Entry* entryOf(QWidget* control);
  QSize growthOf(QWidget* parent) const;
  void placeScrollBars(QSize size);

  QWidget* m_form;
  QSize m_design;
  std::vector<Entry> m_entries;
  QScrollBar* m_horizontal;
  QScrollBar* m_vertical;
  QRect m_viewport;
  QSize m_extra;
  bool m_laying = false;
};

}  // namespace morvane::mainwindow
