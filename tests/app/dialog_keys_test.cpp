// Enter and Esc in the tool's dialogs: the two confirmation dialogs and the message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/desktop_seams.h"
#include "paste/confirm_dialog.h"
#include "pdf/pdf_dialog.h"

using namespace morvane;

namespace {

enum class Pressed { Ok, Cancel };

// Shows `form` loaded with `count`, presses `key` where the focus is, and tells which button
// the key pressed: OK runs the paste or export, Cancel only unloads.
template <typename Form>
Pressed pressIn(int count, Qt::Key key, bool focusOnCheckBox) {
  auto form = std::make_unique<Form>();
  bool okRan = false;
  form->setOk([&] { okRan = true; });
  form->setRelease([](QWidget*) {});
  form->load(count, QStringLiteral("deck.pptx"));
  form->show();
  QApplication::setActiveWindow(form.get());
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  if (focusOnCheckBox) form->Check1->setFocus();
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
  QTest::keyClick(target, key);
  EXPECT_TRUE(okRan || form->isUnloaded()) << "the key pressed nothing";
  return okRan ? Pressed::Ok : Pressed::Cancel;
}

struct KeyCase {
  const char* what;
  int count;
  Qt::Key key;
  bool focusOnCheckBox;
  Pressed expected;
};

const KeyCase kKeyCases[] = {
    {"Enter presses OK", 3, Qt::Key_Return, false, Pressed::Ok},
    {"keypad Enter from the check box presses OK", 3, Qt::Key_Enter, true, Pressed::Ok},
    {"Enter presses Cancel when OK is hidden", 0, Qt::Key_Return, false, Pressed::Cancel},
    {"Esc presses Cancel", 3, Qt::Key_Escape, true, Pressed::Cancel},
};

}  // namespace

TEST(DialogKeys, EnterPressesOkWhereShownElseCancelAndEscCancels) {
  for (const KeyCase& c : kKeyCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(pressIn<paste::Dialog>(c.count, c.key, c.focusOnCheckBox), c.expected) << "paste";
    EXPECT_EQ(pressIn<pdf::Dialog1>(c.count, c.key, c.focusOnCheckBox), c.expected) << "pdf";
  }
}

TEST(DialogKeys, MessageBoxesTakeEnterAsOkAndEscAsCancelOrTheirOnlyButton) {
  struct Case {
    int style;
    Qt::Key key;
    int expected;
  };
  const Case cases[] = {
      {startup::vbOKCancel + startup::vbInformation, Qt::Key_Return, startup::vbOK},
      {startup::vbOKCancel, Qt::Key_Escape, startup::vbCancel},
      {startup::vbExclamation, Qt::Key_Return, startup::vbOK},
      {startup::vbOKOnly, Qt::Key_Escape, startup::vbOK}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style * 1000 + c.key);
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      press.stop();
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, c.key);
    });
    press.start(10);
    app::QtMessages messages;
    EXPECT_EQ(messages.msgBox(QStringLiteral("Continue?"), c.style, QStringLiteral("Morvane©")),
              c.expected);
  }
}
