#pragma once
// TSetupForm: the configuration dialog. It edits every stored setting, shows
// a still preview of the first text line in the chosen font and colour,
// starts a test run of the saver and opens the about box. It is the main
// window in configure mode and a modal dialog over the running saver after S.

#include <QDialog>
#include <QImage>
#include <QString>
#include <functional>

#include "engine/XColorUnit.h"
#include "settings/GlobalsUnit.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class TColorChoice;
class TKeyInfo;
class TNiceScrollBar;
class TPaintBox;
class TTextLinesMemo;

class TSetupForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSetupForm(QWidget* parent = nullptr);

  // Shows a full-screen test saver with the dialog's settings (not saved)
  // modally and returns once it has ended. The host provides it: the dialog
  // cannot make saver windows itself.
  std::function<void(const TGlobals&)> StartTestSaver;

  // Set by the running saver before it shows the dialog: Test is then
  // unavailable, and OK and Cancel end only the modal run.
  bool FromSaver() const { return FFromSaver; }
  void SetFromSaver(bool fromSaver) { FFromSaver = fromSaver; }

  // The dialog's own copy of the settings: loaded when it is first shown,
  // saved by OK. A caller reads it after the dialog was confirmed.
  const TGlobals& Settings() const { return FSettings; }
  // That copy into the controls and back (memory only).
  void SettingsToControls();
  void ControlsToSettings();

  QLabel* const Label1;
  TTextLinesMemo* const TextLinesMemo;
  TPaintBox* const PreviewPaintBox;
  QFrame* const Bevel1;
  QGroupBox* const GroupBox1;
  TNiceScrollBar* const TimerNiceScrollBar;
  TNiceScrollBar* const SpeedNiceScrollBar;
  QCheckBox* const DesktopCheckBox;
  QCheckBox* const DateCheckBox;
  QCheckBox* const TimeCheckBox;
  QCheckBox* const ShortCheckBox;
  QCheckBox* const EffectsCheckBox;
  QCheckBox* const ColorFadingCheckBox;
  QCheckBox* const RandomColorCheckBox;
  QCheckBox* const RandomYCheckBox;
  QGroupBox* const GroupBox2;
  QListWidget* const FontListBox;
  TColorChoice* const FontColorChoice;
  TNiceScrollBar* const SizeNiceScrollBar;
  TNiceScrollBar* const SpacingNiceScrollBar;
  QGroupBox* const EffectsGroupBox;
  QCheckBox* EffectCheckBoxes[20];  // CheckBox1 ... CheckBox20, effect n - 1 each
  QLabel* const Image1;
  QLabel* const Label2;
  TKeyInfo* const KeyInfo1;
  TKeyInfo* const KeyInfo2;
  QPushButton* const InfoButton;
  QPushButton* const TestButton;
  QPushButton* const OKButton;
  QPushButton* const CancelButton;
  QMenu* const EffectsPopupMenu;
  QAction* const Selectall1;
  QAction* const Selectnone1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void PlaceEffectCheckBoxes();
  void SetTabOrder();
  void FillFontList();
  void SelectFontItem();

  void FormActivate();
  void OKButtonClick();
  void TestButtonClick();
  void InfoButtonClick();
  void FontListBoxClick();
  void PreviewPaintBoxPaint(QPainter& canvas, const QRect& clip);
  void SetEffectBoxes(bool checked);
  void ShowError(const QString& message);

  bool FActivatePending = true;
  TGlobals FSettings;
  QString FFontName;
  bool FFromSaver = false;
};

// The preview's picture for a box of `size` on a screen of `ratio` device
// pixels per pixel: `size` times `ratio` pixels (rounded up), marked with that
// device pixel ratio; `text` in `face` at the full height, in `color` over
// black, smoothed as the dialog always smooths it.
QImage SetupPreviewPicture(QSize size, qreal ratio, const QString& face, TColor color,
                           const QString& text);

// The list of the font box: "Default" and every installed family, each once,
// sorted without regard to case.
QStringList SetupFontFaces();
