#include "controls/XNiceScrollBarCaption.h"

#include <optional>

namespace {

constexpr qsizetype kMarkerLength = 2;
constexpr qsizetype kKeywordLength = 3;

char16_t AsciiUpper(QChar c) {
  const char16_t u = c.unicode();
  return u >= u'a' && u <= u'z' ? static_cast<char16_t>(u - u'a' + u'A') : u;
}

bool KeywordIs(QStringView keyword, const char* name) {
  for (qsizetype i = 0; i < kKeywordLength; ++i) {
    if (AsciiUpper(keyword[i]) != static_cast<char16_t>(name[i])) return false;
  }
  return true;
}

std::optional<int> DigitAt(QStringView text, qsizetype index) {
  if (index >= text.size()) return std::nullopt;
  const char16_t u = text[index].unicode();
  if (u < u'0' || u > u'9') return std::nullopt;
  return u - u'0';
}

bool CharIs(QStringView text, qsizetype index, char16_t wanted) {
  return index < text.size() && text[index].unicode() == wanted;
}

int64_t PowerOfTen(int exponent) {
  int64_t power = 1;
  for (int i = 0; i < exponent; ++i) power *= 10;
  return power;
}

struct Replacement {
  QString text;
  qsizetype length;  // characters of the tag, from its "<" to its ">"
};

// The tag that starts at tag[0] == '<', reading `value`; nothing when it is
// no complete tag of a known keyword.
std::optional<Replacement> ExpandTag(QStringView tag, int32_t value, const QLocale& locale) {
  const QStringView keyword = tag.mid(kMarkerLength, kKeywordLength);
  const qsizetype afterKeyword = kMarkerLength + kKeywordLength;
  if (KeywordIs(keyword, "POS") && CharIs(tag, afterKeyword, u'>')) {
    return Replacement{QString::number(value), afterKeyword + 1};
  }
  if (KeywordIs(keyword, "SHL") && CharIs(tag, afterKeyword, u'>')) {
    const auto shifted = static_cast<int32_t>(uint32_t{1} << (static_cast<uint32_t>(value) & 31));
    return Replacement{QString::number(shifted), afterKeyword + 1};
  }
  const std::optional<int> digits = DigitAt(tag, afterKeyword);
  if (!digits || !CharIs(tag, afterKeyword + 1, u'>')) return std::nullopt;
  const qsizetype length = afterKeyword + 2;
  if (KeywordIs(keyword, "DIV")) {
    const double quotient = static_cast<double>(value) / static_cast<double>(PowerOfTen(*digits));
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return Replacement{grouped.toString(quotient, 'f', *digits), length};
  }
  if (KeywordIs(keyword, "MUL")) {
    // Exact: at most 31 bits times 10^9 fits into 64 bits.
    return Replacement{QString::number(int64_t{value} * PowerOfTen(*digits)), length};
  }
  return std::nullopt;
}

}  // namespace

QString ExpandLabelCaption(const QString& caption, int32_t position, int32_t position2,
                           const QLocale& locale) {
  QString result;
  QStringView rest(caption);
  while (!rest.isEmpty()) {
    qsizetype at = rest.indexOf(u"<#");
    int32_t value = position;
    if (at < 0) {
      at = rest.indexOf(u"<~");
      value = position2;
    }
    if (at < 0) break;
    result += rest.left(at);
    const QStringView tag = rest.mid(at);
    std::optional<Replacement> replacement;
    if (tag.size() >= kMarkerLength + kKeywordLength) {
      replacement = ExpandTag(tag, value, locale);
    }
    if (replacement) {
      result += replacement->text;
      rest = tag.mid(replacement->length);
    } else {
      // Shown as typed; the characters after the marker are scanned again.
      result += tag.left(kMarkerLength);
      rest = tag.mid(kMarkerLength);
    }
  }
  result += rest;
  return result;
}
