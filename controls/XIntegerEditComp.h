#pragma once
// TIntegerEdit: a single-line edit that holds one integer inside a range. It
// filters the keys that can be typed, clamps every value it stores or reads,
// tidies its text when it loses the focus and tells whether the user changed
// the value since it got the focus.

#include <QLineEdit>
#include <cstdint>
#include <functional>

enum TIntegerEditType { ieInteger = 0, ieHex = 1 };

class TIntegerEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TIntegerEdit(QWidget* parent = nullptr);

  // Sound the desktop's beep when a typed key is rejected.
  bool Beep() const { return FBeep; }
  void SetBeep(bool beep) { FBeep = beep; }

  int32_t MinValue() const { return FMinValue; }
  // Never above MaxValue; moves Value up to the requested minimum.
  void SetMinValue(int32_t minValue);

  int32_t MaxValue() const { return FMaxValue; }
  // Never below MinValue; moves Value down to the requested maximum.
  void SetMaxValue(int32_t maxValue);

  TIntegerEditType ValidType() const { return FValidType; }
  // Also rewrites the text in the number base of the new type.
  void SetValidType(TIntegerEditType validType);

  // The text as a number clamped into [MinValue, MaxValue]; a text that is no
  // number reads as MinValue. Reading rewrites the text with the result.
  int32_t Value();
  // Clamps into [MinValue, MaxValue] and shows the number.
  void SetValue(int32_t value);

  // Value differs from the value the edit had when it last got the focus.
  bool Modified();

  // The edit got the focus (after the entry value was remembered).
  std::function<void()> OnEnter;
  // The edit is losing the focus; the text is still as typed.
  std::function<void()> OnExit;

 protected:
  // Whether a typed character may go into the text.
  virtual bool IsValidChar(QChar key) const;
  // The desktop's default beep; a seam for tests.
  virtual void SoundBeep();

  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  int32_t Clamp(int64_t value) const;
  void ShowNumber(int32_t value);

  bool FBeep = false;
  int32_t FMinValue = 0;
  int32_t FMaxValue = 100;
  TIntegerEditType FValidType = ieInteger;
  int32_t FOldValue = 0;
  // Between an entry and an exit; a context menu or a switch to another
  // program takes the focus for a while without ending the entry.
  bool FEntered = false;
};
