#pragma once
// The caption of a labelled scroll bar: a template in which tags show the
// bar's values.
//
//   <#POS>   the value                  <~POS>   the upper value of a range
//   <#SHL>   1 shifted left by the value's low five bits (signed 32 bits)
//   <#DIVn>  the value divided by 10^n, with n decimals and the locale's
//            separators ("<#DIV2>" shows 12345 as 123.45)
//   <#MULn>  the value times 10^n
//
// Keywords are case-insensitive. "<~" tags are only read once the rest of the
// caption holds no "<#" tag. Anything else, a tag cut short included, is shown
// as typed.

#include <QLocale>
#include <QString>
#include <cstdint>

QString ExpandLabelCaption(const QString& caption, int32_t position, int32_t position2,
                           const QLocale& locale);
