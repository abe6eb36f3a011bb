// The setup dialog's work: settings into the controls and back, OK, the test
// run and the about box.
#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <exception>

#include "controls/PaintBox.h"
#include "controls/XColorChoiceComp.h"
#include "controls/XNiceScrollBarComp.h"
#include "settings/GlobalsUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XAboutBoxUnit.h"
#include "setup/XTextLinesMemo.h"

namespace {

// Bits 20..31 of a stored effect code are always set.
constexpr uint32_t kUnusedEffectBits = 0xFFF00000u;

}  // namespace

void TSetupForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FActivatePending) FormActivate();
}

void TSetupForm::FormActivate() {
  FActivatePending = false;
  try {
    LoadGlobals(FSettings);
  } catch (const std::exception& error) {
    // The settings were read; only writing the first start's record back
    // failed. The dialog still shows them.
    ShowError(QString::fromUtf8(error.what()));
  }
  SettingsToControls();
  if (FFromSaver) TestButton->setEnabled(false);
}

void TSetupForm::SettingsToControls() {
  TimerNiceScrollBar->SetPosition(FSettings.TimerInterval);
  SpeedNiceScrollBar->SetPosition(FSettings.Speed);
  FFontName = QString::fromStdString(FSettings.FontName);
  SelectFontItem();
  SizeNiceScrollBar->SetPosition(FSettings.FontSize);
  SpacingNiceScrollBar->SetPosition(FSettings.FontSpacing);
  FontColorChoice->SetColor(static_cast<TColor>(FSettings.FontColor));
  // Lines from a file or a program are not edited here: the box says where
  // they come from instead, and cannot be changed.
  const bool fromFile = FSettings.TextSource == tsFile && !FSettings.TextFile.empty();
  const bool fromProgram = FSettings.TextSource == tsProgram && !FSettings.TextProgram.empty();
  if (fromFile) {
    TextLinesMemo->SetLines({tr("Lines of the file:"), QString::fromStdString(FSettings.TextFile)});
  } else if (fromProgram) {
    TextLinesMemo->SetLines(
        {tr("What this program prints:"), QString::fromStdString(FSettings.TextProgram)});
  } else {
    TextLinesMemo->SetLines(SplitTextLines(QString::fromStdString(FSettings.Text)));
  }
  TextLinesMemo->setReadOnly(fromFile || fromProgram);
  DesktopCheckBox->setChecked(FSettings.DesktopFlag);
  EffectsCheckBox->setChecked(FSettings.EffectsFlag);
  RandomYCheckBox->setChecked(FSettings.RandomYFlag);
  ColorFadingCheckBox->setChecked(FSettings.ColorFadingFlag);
  RandomColorCheckBox->setChecked(FSettings.RandomColorFlag);
  DateCheckBox->setChecked((FSettings.DateTimeMode & 1) != 0);
  TimeCheckBox->setChecked((FSettings.DateTimeMode & 2) != 0);
  ShortCheckBox->setChecked((FSettings.DateTimeMode & 4) != 0);
  for (int effect = 0; effect < 20; ++effect) {
    EffectCheckBoxes[effect]->setChecked(((FSettings.EffectCode >> effect) & 1) != 0);
  }
}

void TSetupForm::ControlsToSettings() {
  FSettings.TimerInterval = TimerNiceScrollBar->Position();
  FSettings.Speed = SpeedNiceScrollBar->Position();
  FSettings.FontName = FFontName.toStdString();
  FSettings.FontSize = SizeNiceScrollBar->Position();
  FSettings.FontSpacing = SpacingNiceScrollBar->Position();
  FSettings.FontColor = static_cast<int32_t>(FontColorChoice->Color());
  if (!TextLinesMemo->isReadOnly()) {
    FSettings.Text = JoinTextLines(TextLinesMemo->Lines()).toStdString();
  }
  FSettings.DesktopFlag = DesktopCheckBox->isChecked();
  FSettings.EffectsFlag = EffectsCheckBox->isChecked();
  FSettings.RandomYFlag = RandomYCheckBox->isChecked();
  FSettings.ColorFadingFlag = ColorFadingCheckBox->isChecked();
  FSettings.RandomColorFlag = RandomColorCheckBox->isChecked();
  FSettings.DateTimeMode = (DateCheckBox->isChecked() ? 1 : 0) +
                           (TimeCheckBox->isChecked() ? 2 : 0) +
                           (ShortCheckBox->isChecked() ? 4 : 0);
  uint32_t code = kUnusedEffectBits;
  for (int effect = 0; effect < 20; ++effect) {
    if (EffectCheckBoxes[effect]->isChecked()) code |= 1u << effect;
  }
  FSettings.EffectCode = static_cast<int32_t>(code);
}

void TSetupForm::OKButtonClick() {
  ControlsToSettings();
  try {
    SaveGlobals(FSettings);
  } catch (const std::exception& error) {
    // Nothing is lost: the dialog stays open with the user's values, to try
    // again or to cancel.
    ShowError(QString::fromUtf8(error.what()));
    return;
  }
  accept();
}

void TSetupForm::TestButtonClick() {
  if (!StartTestSaver) return;
  ControlsToSettings();
  try {
    StartTestSaver(FSettings);
  } catch (const std::exception& error) {
    ShowError(QString::fromUtf8(error.what()));
  }
  activateWindow();
  TestButton->setFocus();
}

void TSetupForm::InfoButtonClick() {
  ShowAboutBox(this);
}

void TSetupForm::ShowError(const QString& message) {
  QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), message);
}
