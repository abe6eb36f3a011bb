#include "controls/XIntegerEditComp.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>
#include <optional>

namespace {

constexpr QChar kCarriageReturn(13);

int BaseOf(TIntegerEditType type) {
  return type == ieHex ? 16 : 10;
}

int DigitValue(QChar c, int base) {
  const char16_t u = c.unicode();
  int digit = -1;
  if (u >= u'0' && u <= u'9') digit = u - u'0';
  if (u >= u'a' && u <= u'z') digit = u - u'a' + 10;
  if (u >= u'A' && u <= u'Z') digit = u - u'A' + 10;
  return digit < base ? digit : -1;
}

// The text as an optionally negative number in the given base, or nothing
// when it is not one. Numbers beyond 32 bits are not refused: they saturate
// far outside every 32-bit range so that clamping turns them into the
// nearest bound.
std::optional<int64_t> ParseNumber(const QString& text, int base) {
  const QString digits = text.trimmed();
  const bool negative = digits.startsWith(u'-');
  const qsizetype first = negative ? 1 : 0;
  if (digits.size() == first) return std::nullopt;
  constexpr int64_t kSaturated = int64_t{1} << 40;
  int64_t magnitude = 0;
  for (qsizetype i = first; i < digits.size(); ++i) {
    const int digit = DigitValue(digits[i], base);
    if (digit < 0) return std::nullopt;
    magnitude = std::min(magnitude * base + digit, kSaturated);
  }
  return negative ? -magnitude : magnitude;
}

QString FormatNumber(int32_t value, int base) {
  if (base == 10) return QString::number(value);
  const int64_t wide = value;
  const QString digits = QString::number(wide < 0 ? -wide : wide, base).toUpper();
  return wide < 0 ? QStringLiteral("-") + digits : digits;
}

// Focus lost to a context menu or to another program comes back to the edit:
// it ends no entry.
bool IsTemporaryFocusLoss(Qt::FocusReason reason) {
  return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

TIntegerEdit::TIntegerEdit(QWidget* parent) : QLineEdit(parent) {
  ShowNumber(0);
}

int32_t TIntegerEdit::Clamp(int64_t value) const {
  return static_cast<int32_t>(std::clamp<int64_t>(value, FMinValue, FMaxValue));
}

void TIntegerEdit::ShowNumber(int32_t value) {
  const QString text = FormatNumber(value, BaseOf(FValidType));
  if (this->text() != text) setText(text);
}

int32_t TIntegerEdit::Value() {
  const std::optional<int64_t> number = ParseNumber(text(), BaseOf(FValidType));
  const int32_t result = number ? Clamp(*number) : FMinValue;
  ShowNumber(result);
  return result;
}

void TIntegerEdit::SetValue(int32_t value) {
  ShowNumber(Clamp(value));
}

void TIntegerEdit::SetMinValue(int32_t minValue) {
  if (minValue == FMinValue) return;
  FMinValue = std::min(minValue, FMaxValue);
  if (Value() < minValue) SetValue(minValue);
}

void TIntegerEdit::SetMaxValue(int32_t maxValue) {
  if (maxValue == FMaxValue) return;
  FMaxValue = std::max(maxValue, FMinValue);
  if (maxValue < Value()) SetValue(maxValue);
}

void TIntegerEdit::SetValidType(TIntegerEditType validType) {
  if (validType == FValidType) return;
  const int32_t value = Value();
  FValidType = validType;
  ShowNumber(value);
}

bool TIntegerEdit::Modified() {
  return Value() != FOldValue;
}

bool TIntegerEdit::IsValidChar(QChar key) const {
  if (key.unicode() < 32) return key != kCarriageReturn;
  if (FValidType == ieHex) return DigitValue(key, 16) >= 0;
  return key == u'-' || DigitValue(key, 10) >= 0;
}

void TIntegerEdit::SoundBeep() {
  QApplication::beep();
}

void TIntegerEdit::keyPressEvent(QKeyEvent* event) {
  // Only typed characters are filtered: shortcuts (Ctrl+V, Ctrl+A, ...) and
  // editing keys without a character (arrows, Delete) keep their meaning.
  const bool isShortcut =
      event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (!isShortcut && event->key() != Qt::Key_Delete) {
    const QString typed = event->text();
    const bool rejected =
        std::any_of(typed.begin(), typed.end(), [this](QChar c) { return !IsValidChar(c); });
    if (rejected) {
      // Swallowed, Enter included, so a rejected key has no effect at all.
      event->accept();
      if (FBeep) SoundBeep();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void TIntegerEdit::focusInEvent(QFocusEvent* event) {
  const bool entering = !FEntered;
  if (entering) {
    FEntered = true;
    FOldValue = Value();
    // Entering by keyboard or by the program selects the whole number; a
    // mouse click places the cursor where it was clicked.
    if (event->reason() != Qt::MouseFocusReason) selectAll();
  }
  QLineEdit::focusInEvent(event);
  if (entering && OnEnter) OnEnter();
}

void TIntegerEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (!FEntered || IsTemporaryFocusLoss(event->reason())) return;
  FEntered = false;
  if (OnExit) OnExit();
  SetValue(Value());
}

void TIntegerEdit::hideEvent(QHideEvent* event) {
  // A window shown again starts a new entry; being minimised is no exit.
  if (!event->spontaneous()) FEntered = false;
  QLineEdit::hideEvent(event);
}
