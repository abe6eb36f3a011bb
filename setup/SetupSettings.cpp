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

// Sets a flag back to false when the scope ends, however it ends.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void TSetupForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FActivatePending) FormActivate();
}

void TSetupForm::FormActivate() {
  FActivatePending = false;
  try {
    LoadGlobals(Globals);
  } catch (const std::exception& error) {
    // The settings were read; only writing the first start's record back
    // failed. The dialog still shows them.
    ShowError(QString::fromUtf8(error.what()));
  }
  SettingsToControls();
  if (FFromSaver) TestButton->setEnabled(false);
}

void TSetupForm::SettingsToControls() {
  TimerNiceScrollBar->SetPosition(Globals.TimerInterval);
  SpeedNiceScrollBar->SetPosition(Globals.Speed);
  FFontName = QString::fromStdString(Globals.FontName);
  SelectFontItem();
  SizeNiceScrollBar->SetPosition(Globals.FontSize);
  SpacingNiceScrollBar->SetPosition(Globals.FontSpacing);
  FontColorChoice->SetColor(static_cast<TColor>(Globals.FontColor));
  TextLinesMemo->SetLines(SplitTextLines(QString::fromStdString(Globals.Text)));
  DesktopCheckBox->setChecked(Globals.DesktopFlag);
  EffectsCheckBox->setChecked(Globals.EffectsFlag);
  RandomYCheckBox->setChecked(Globals.RandomYFlag);
  ColorFadingCheckBox->setChecked(Globals.ColorFadingFlag);
  RandomColorCheckBox->setChecked(Globals.RandomColorFlag);
  DateCheckBox->setChecked((Globals.DateTimeMode & 1) != 0);
  TimeCheckBox->setChecked((Globals.DateTimeMode & 2) != 0);
  ShortCheckBox->setChecked((Globals.DateTimeMode & 4) != 0);
  for (int effect = 0; effect < 20; ++effect) {
    EffectCheckBoxes[effect]->setChecked(((Globals.EffectCode >> effect) & 1) != 0);
  }
}

void TSetupForm::ControlsToSettings() {
  Globals.TimerInterval = TimerNiceScrollBar->Position();
  Globals.Speed = SpeedNiceScrollBar->Position();
  Globals.FontName = FFontName.toStdString();
  Globals.FontSize = SizeNiceScrollBar->Position();
  Globals.FontSpacing = SpacingNiceScrollBar->Position();
  Globals.FontColor = static_cast<int32_t>(FontColorChoice->Color());
  Globals.Text = JoinTextLines(TextLinesMemo->Lines()).toStdString();
  Globals.DesktopFlag = DesktopCheckBox->isChecked();
  Globals.EffectsFlag = EffectsCheckBox->isChecked();
  Globals.RandomYFlag = RandomYCheckBox->isChecked();
  Globals.ColorFadingFlag = ColorFadingCheckBox->isChecked();
  Globals.RandomColorFlag = RandomColorCheckBox->isChecked();
  Globals.DateTimeMode = (DateCheckBox->isChecked() ? 1 : 0) + (TimeCheckBox->isChecked() ? 2 : 0) +
                         (ShortCheckBox->isChecked() ? 4 : 0);
  uint32_t code = kUnusedEffectBits;
  for (int effect = 0; effect < 20; ++effect) {
    if (EffectCheckBoxes[effect]->isChecked()) code |= 1u << effect;
  }
  Globals.EffectCode = static_cast<int32_t>(code);
}

void TSetupForm::OKButtonClick() {
  ControlsToSettings();
  try {
    SaveGlobals(Globals);
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
    const ScopedFlag testing(TestRun);
    StartTestSaver();
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
