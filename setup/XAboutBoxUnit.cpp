#include "setup/XAboutBoxUnit.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <memory>

#include "controls/FormLayout.h"
#include "controls/XLinkComp.h"
#include "resources/LettranceResources.h"
#include "settings/GlobalsUnit.h"
#include "setup/XAboutBoxComp.h"

namespace {

// The box appears centred on the primary screen: its pictures are chosen for
// that screen's density.
qreal PrimaryScreenRatio() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

QLabel* CentredLabel(QWidget* parent, const char* name, int left, int top, int width) {
  auto* label = Place(new QLabel(parent), name, left, top, width, 17);
  label->setAlignment(Qt::AlignCenter);
  // Texts are shown as they are, never interpreted as markup.
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

TAboutBoxForm::TAboutBoxForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      Bevel1(Place(new QFrame(this), "Bevel1", 8, 8, 337, 145)),
      Image1(Place(new QLabel(this), "Image1", 16, 16, 72, 36)),
      ProductImage(Place(new QLabel(this), "ProductImage", 96, 16, 240, 36)),
      ProductLabel(CentredLabel(this, "ProductLabel", 16, 56, 320)),
      VersionLabel(CentredLabel(this, "VersionLabel", 16, 72, 320)),
      CopyrightLabel(CentredLabel(this, "CopyrightLabel", 16, 88, 320)),
      CompanyLink(Place(new TLink(this), "CompanyLink", 16, 104, 320, 17)),
      InfoLabel(CentredLabel(this, "InfoLabel", 16, 128, 321)),
      OKButton(Place(new QPushButton(tr("OK"), this), "OKButton", 136, 160, 80, 25)) {
  setFixedSize(352, 193);
  UseFormFont(*this);

  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

  Image1->setPixmap(
      resources::TransparentPixmap(resources::LoadBitmap("VANDORLOGO", PrimaryScreenRatio())));
  ProductImage->setAlignment(Qt::AlignCenter);

  QFont boldFont = ProductLabel->font();
  boldFont.setBold(true);
  ProductLabel->setFont(boldFont);

  CompanyLink->setAlignment(Qt::AlignCenter);

  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBoxForm::showEvent(QShowEvent* event) {
  setWindowTitle(tr("About ") + ProductLabel->text());
  QDialog::showEvent(event);
}

void ShowAboutBox(QObject* owner) {
  auto aboutBox = std::make_unique<TAboutBox>(owner);
  aboutBox->SetCopyright(QStringLiteral("2001 Vandor"));
  aboutBox->SetLink(QStringLiteral("https://www.vandor.example/"));
  aboutBox->SetProduct(QGuiApplication::applicationDisplayName());
  aboutBox->SetVersion(QString::fromUtf8(ProgramVersion));
  aboutBox->SetInfoText(QStringLiteral("Letters that dance while you are away."));
  aboutBox->SetBitmap(resources::LoadBitmap("LETTRANCELOGO", PrimaryScreenRatio()));
  aboutBox->Execute();
}
