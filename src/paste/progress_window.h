// Progress: the modeless "Paste progress" window the paste runs update once per object: a
// bar with a percentage, a count line, a status line, "Processing..." with an animation,
// and the buttons "Go to PPT" and "Cancel". Unloading it in any way (close box, Cancel, Go
// to PPT) unloads the main window too, and tells a running paste to stop before its next
// object.
//
// Widths the design states in points (the bar, the overlay) are kept in points; the widgets
// show them at the screen's logical resolution. Unloading hides the window and hands it to
// its release handler (which deletes it later), never deleting it at once.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace morvane::paste {

inline const QString kDone = QStringLiteral("D O N E !");

// The animation: a short line moving along while visible.
class MovingLine : public QWidget {
  Q_OBJECT
 public:
  explicit MovingLine(QWidget* parent = nullptr);
  int step() const { return m_step; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QTimer* m_timer;
  int m_step = 0;
};

class Progress : public QWidget {
  Q_OBJECT

 public:
  // Runs a user's action; must catch everything (the tool's guarded entry point).
  using EntryPoint = std::function<void(const std::function<void()>&)>;

  explicit Progress(QWidget* parent = nullptr);

  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }
  // "Go to PPT".
  void setGoToPowerPoint(std::function<void()> goTo) { m_goToPowerPoint = std::move(goTo); }
  // What closing does besides unloading this window (the main window is unloaded).
  void setQueryClose(std::function<void()> queryClose) { m_queryClose = std::move(queryClose); }
  // Takes the hidden window once it is unloaded (deletes it later); deleteLater() when unset.
  void setRelease(std::function<void(QWidget*)> release) { m_release = std::move(release); }

  // `percent` from 0 to 1. With `showValue` the percentage captions follow it and the white
  // overlay takes the bar's width from before this call; the bar always follows it.
  void ProgressStyle1(float percent, bool showValue);
  // The finished state: "D O N E !" in Label2, the animation and Label3 hidden.
  void showFinished();
  // Shows the window modeless; nothing changes when it is shown already.
  void showForm();

  float barWidth() const { return m_barWidth; }        // labPg1.Width, points
  float overlayWidth() const { return m_overlayWidth; }  // labPg1va.Width, points
  QString tag() const;                                  // labPg1.Tag

  bool isUnloaded() const { return m_unloaded; }
  // Unloads the window (and with it the main window). Safe to call again.
  void unload();

  void SonicClick2_Click();  // Cancel
  void SonicClick3_Click();  // Go to PPT
  void UserForm_QueryClose();

  // A caption as set (carriage returns kept).
  static QString caption(const QWidget* control);
  static void setCaption(QWidget* control, const QString& caption);

  QLabel* labPg1a = nullptr;
  QLabel* labPg1 = nullptr;
  QLabel* labPg1v = nullptr;
  QLabel* labPg1va = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  MovingLine* Gif89a1 = nullptr;
  QPushButton* SonicClick3 = nullptr;
  QPushButton* SonicClick2 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createBar();
  void createLabels();
  void createButtons();
  void UserForm_Initialize();
  void guarded(void (Progress::*handler)());
  void setBarWidth(float points);
  void setOverlayWidth(float points);
  int toPixelsX(double himetric) const;
  int toPixelsY(double himetric) const;
  int pointsToPixels(float points) const;

  EntryPoint m_entry;
  std::function<void()> m_goToPowerPoint;
  std::function<void()> m_queryClose;
  std::function<void(QWidget*)> m_release;
  float m_barWidth = 0;
  float m_overlayWidth = 0;
  bool m_unloaded = false;
};

}  // namespace morvane::paste
