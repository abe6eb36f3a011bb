#pragma once
// TNiceScrollBar: a self-drawn slider. A thin sunken track with one raised
// button (two in min-max mode, choosing a range), and on a horizontal bar a
// caption above the button that shows the value through a small tag language
// (see XNiceScrollBarCaption.h). The user drags a button, clicks anywhere to
// jump there, moves the value with the arrow keys or right-clicks for a menu
// with "Reset", "Minimum" and "Maximum". Values chosen with the mouse snap to
// a grid of SmallChange steps.
//
// Assigning a property never fires OnScroll or OnChange; only the user's
// actions do, OnScroll first.

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "controls/XNiceScrollBarGeometry.h"

class QAction;
class QMenu;
class QPainter;

// What "Reset" restores, and whether assigning a value also sets its default.
enum TDefaultModes {
  dmDisabled = 0,  // no "Reset"
  dmAuto = 1,      // assigning Position/Position2 also sets DefaultPos/DefaultPos2
  dmFixed = 2,     // the defaults change only when they are assigned
};

// The kind of user action reported by OnScroll.
enum TScrollCode {
  scLineUp = 0,    // an arrow key lowered the value
  scLineDown = 1,  // an arrow key raised the value
  scPageUp = 2,
  scPageDown = 3,
  scPosition = 4,  // a menu command set the value
  scTrack = 5,     // a click or a drag step changed the value
  scTop = 6,
  scBottom = 7,
  scEndScroll = 8,  // a drag that changed the value has ended
};

class TNiceScrollBar : public QWidget {
  Q_OBJECT

 public:
  explicit TNiceScrollBar(QWidget* parent = nullptr);
  ~TNiceScrollBar() override;

  int32_t Min() const { return FMin; }
  // Never above Max; raises the values and the defaults to at least Min.
  void SetMin(int32_t value);

  int32_t Max() const { return FMax; }
  // Never below Min; lowers the values and the defaults to at most Max.
  void SetMax(int32_t value);

  // The value of button 0: the only value in normal mode, the lower end of
  // the range in min-max mode. Clamped into the range (and below Position2
  // in min-max mode); in normal mode Position2 is pushed up to it.
  int32_t Position() const { return FPosition; }
  void SetPosition(int32_t value);

  // The value of button 1, the upper end of the range in min-max mode;
  // clamped into [Position, Max].
  int32_t Position2() const { return FPosition2; }
  void SetPosition2(int32_t value);

  // What "Reset" restores. Clamped into [Min, Max]; DefaultPos2 never lies
  // below DefaultPos (setting either one moves the other along).
  int32_t DefaultPos() const { return FDefaultPos; }
  void SetDefaultPos(int32_t value);
  int32_t DefaultPos2() const { return FDefaultPos2; }
  void SetDefaultPos2(int32_t value);

  TDefaultModes DefaultMode() const { return FDefaultMode; }
  void SetDefaultMode(TDefaultModes mode) { FDefaultMode = mode; }

  TScrollModes ScrollMode() const { return FScrollMode; }
  void SetScrollMode(TScrollModes mode);

  // Orientation of the track.
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind kind);

  // Shape of the buttons: wide with upright grip lines, or tall with level
  // ones; independent of Kind.
  TScrollBarKind Button() const { return FButton; }
  void SetButton(TScrollBarKind button);

  // The bar's own enabled flag. While it is false the left mouse button is
  // ignored and the caption is drawn embossed, but the arrow keys and the
  // menu keep working, so this is not QWidget::setEnabled.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  // Caption template, expanded at every paint.
  QString LabelCaption() const { return FLabelCaption; }
  void SetLabelCaption(const QString& caption);

  // Show the caption. Always false for a vertical bar, which has no caption.
  bool LabelVisible() const { return FLabelVisible && FKind == sbHorizontal; }
  void SetLabelVisible(bool visible);

  // Step of the value grid and of the arrow keys; never below 1 nor above
  // Max - Min when it is assigned.
  int32_t SmallChange() const { return FSmallChange; }
  void SetSmallChange(int32_t value);

  // A picture stretched into the track line instead of the black line; a
  // null image draws the plain line.
  const QImage& LineBitmap() const { return FLineBitmap; }
  void SetLineBitmap(const QImage& bitmap);

  // The bar takes the focus with the Tab key.
  bool TabStop() const;
  void SetTabStop(bool tabStop);

  // True while the left mouse button drags a button.
  bool Hold() const { return FHold; }

  // The shared strip of all hues, offered to clients as a LineBitmap.
  static const QImage& RainbowBitmap();

  // A user action changed a value; fires after OnScroll.
  std::function<void()> OnChange;
  // A user action; scrollPos refers to Position itself (also when button 1
  // moved): a handler that writes to it changes Position directly, without
  // clamping or repaint.
  std::function<void(TScrollCode scrollCode, int32_t& scrollPos)> OnScroll;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  TNiceScrollBarGeometry Geometry() const;
  int32_t ValueOf(int button) const { return button == 0 ? FPosition : FPosition2; }
  // Stores a value of button 0 or 1 with its clamping rules; fires nothing.
  void ChangePosition(int button, int32_t value);
  void Fire(TScrollCode code, bool changed);

  void LeftButtonDown(QPoint at);
  void StepActiveValue(int direction);
  void ShowMenu(QPoint globalAt);
  // Shows and enables the menu items for the current values.
  void PrepareMenu();
  void MenuItemClick(QAction* item);

  QImage Render() const;
  void DrawCaption(QPainter& painter, const TNiceScrollBarGeometry& geometry) const;
  void DrawTrack(QPainter& painter, const TNiceScrollBarGeometry& geometry) const;
  void DrawButton(QImage& image, const TNiceScrollBarGeometry& geometry, int button) const;

  int32_t FMin = 0;
  int32_t FMax = 100;
  int32_t FPosition = 0;
  int32_t FPosition2 = 0;
  int32_t FDefaultPos = 0;
  int32_t FDefaultPos2 = 0;
  TDefaultModes FDefaultMode = dmDisabled;
  TScrollModes FScrollMode = smNormal;
  TScrollBarKind FKind = sbHorizontal;
  TScrollBarKind FButton = sbHorizontal;
  bool FEnabled = true;
  QString FLabelCaption = QStringLiteral("Position: <#Pos>");
  bool FLabelVisible = true;
  int32_t FSmallChange = 1;
  QImage FLineBitmap;
  bool FHold = false;

  int FActiveButton = 0;
  int32_t FStartPosition = 0;
  QPoint FGrabOffset;
  QMenu* FMenu = nullptr;
};
