#include "paste/confirm_dialog.h"

#include "startup/message_box.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvane::paste {

QString confirmationText(int count, const QString& presentationName) {
  const QString twoBreaks = QStringLiteral("\r\r");
  return QString::number(count) + QStringLiteral(" object(s) will be pasted to ") + twoBreaks +
         presentationName + twoBreaks + QStringLiteral("Continue?");
}

Dialog::Dialog(QWidget* parent) : ModelessForm(parent) {
  setObjectName(QStringLiteral("Dialog"));
  setWindowTitle(startup::kToolTitle);
  createControls();
}

void Dialog::createControls() {
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(QFont(QStringLiteral("Arial")));
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Check1 = new QCheckBox(this);
  Check1->setObjectName(QStringLiteral("Check1"));
  Label2 = new QLabel(kCheckCaption, this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setBuddy(Check1);

  SonicClick1 = new QPushButton(QStringLiteral("OK"), this);
  SonicClick1->setObjectName(QStringLiteral("SonicClick1"));
  SonicClick2 = new QPushButton(QStringLiteral("Cancel"), this);
  SonicClick2->setObjectName(QStringLiteral("SonicClick2"));

  auto* check = new QHBoxLayout;
  check->addWidget(Check1);
  check->addWidget(Label2, 1);
  RefreshButton = new QPushButton(this);
  RefreshButton->setObjectName(QStringLiteral("RefreshButton"));
  RefreshButton->hide();

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(RefreshButton);
  buttons->addStretch();
  buttons->addWidget(SonicClick1);
  buttons->addWidget(SonicClick2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1, 1);
  layout->addLayout(check);
  layout->addLayout(buttons);

  setKeyButtons(SonicClick1, SonicClick2);
  connect(SonicClick1, &QPushButton::clicked, this, [this] { guarded([this] { SonicClick1_Click(); }); });
  connect(SonicClick2, &QPushButton::clicked, this, [this] { guarded([this] { SonicClick2_Click(); }); });
  connect(RefreshButton, &QPushButton::clicked, this,
          [this] { guarded([this] { RefreshButton_Click(); }); });
}

void Dialog::load(int count, const QString& presentationName) {
  m_label1Text = confirmationText(count, presentationName);
  QString shown = m_label1Text;
  shown.replace(QChar(13), QChar(10));
  Label1->setText(shown);
  SonicClick1->setVisible(count != 0);
}

int Dialog::check1Value() const { return Check1->isChecked() ? 1 : 0; }

void Dialog::SonicClick1_Click() {
  if (!m_ok) {
    unload();
    return;
  }
  runHeld(m_ok);
}

void Dialog::SonicClick2_Click() { unload(); }

void Dialog::offerRefresh(int count, std::function<void()> refresh) {
  m_refresh = std::move(refresh);
  RefreshButton->setText(QStringLiteral("Refresh the %1 pasted objects").arg(count));
  RefreshButton->setVisible(count > 0 && m_refresh);
}

void Dialog::RefreshButton_Click() {
  if (!m_refresh) return;
  runHeld(m_refresh);
}

}  // namespace morvane::paste
