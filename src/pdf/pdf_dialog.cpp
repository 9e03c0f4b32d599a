#include "pdf/pdf_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvane::pdf {

QString confirmationText(int count, const QString& outputPath) {
  return QString::number(count) + QStringLiteral(" object(s) will be inserted in ") + outputPath +
         QStringLiteral("\r\rContinue?");
}

Dialog1::Dialog1(QWidget* parent) : paste::ModelessForm(parent) {
  setObjectName(QStringLiteral("Dialog1"));
  setWindowTitle(kDialogCaption);
  createControls();
}

void Dialog1::createControls() {
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(QFont(QStringLiteral("Arial")));
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The real path can be long; the message wraps instead of widening the dialog off screen.
  Label1->setWordWrap(true);
  Label1->setMinimumWidth(360);

  Check1 = new QCheckBox(kFooterCaption, this);
  Check1->setObjectName(QStringLiteral("Check1"));
  Check2 = new QCheckBox(kOpenCaption, this);
  Check2->setObjectName(QStringLiteral("Check2"));

  SonicClick2 = new QPushButton(QStringLiteral("OK"), this);
  SonicClick2->setObjectName(QStringLiteral("SonicClick2"));
  SonicClick1 = new QPushButton(QStringLiteral("Cancel"), this);
  SonicClick1->setObjectName(QStringLiteral("SonicClick1"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(SonicClick2);
  buttons->addWidget(SonicClick1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1, 1);
  layout->addWidget(Check1);
  layout->addWidget(Check2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setKeyButtons(SonicClick2, SonicClick1);
  connect(SonicClick2, &QPushButton::clicked, this, [this] { guarded([this] { SonicClick2_Click(); }); });
  connect(SonicClick1, &QPushButton::clicked, this, [this] { guarded([this] { SonicClick1_Click(); }); });
}

void Dialog1::load(int count, const QString& outputPath) {
  m_label1Text = confirmationText(count, outputPath);
  QString shown = m_label1Text;
  shown.replace(QChar(13), QChar(10));
  Label1->setText(shown);
  Check1->setChecked(true);
  Check2->setChecked(true);
  SonicClick2->setVisible(count != 0);
}

int Dialog1::check1Value() const { return Check1->isChecked() ? 1 : 0; }
int Dialog1::check2Value() const { return Check2->isChecked() ? 1 : 0; }

void Dialog1::SonicClick2_Click() {
  runHeld([this] {
    if (m_ok) m_ok();
  });
  unload();
}

void Dialog1::SonicClick1_Click() { unload(); }

}  // namespace morvane::pdf
