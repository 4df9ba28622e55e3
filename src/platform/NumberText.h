#pragma once

#include <QString>

// Numbers as the windows show them: groups of three digits separated by ",", "." before the
// decimals, whatever the desktop's locale, as the control's texts have always read.
namespace Platform::NumberText {

// "1,234,567"; "0" for nothing ("###,###,###,##0").
QString grouped(qint64 value);
// The value rounded half to even to maxDecimals, with at least minDecimals shown and the
// trailing zeros beyond them dropped: grouped(1234.5, 1, 2) is "1,234.5", grouped(2, 1, 2)
// is "2.0" ("###,###,###,##0.0#").
QString grouped(double value, int minDecimals, int maxDecimals);

} // namespace Platform::NumberText
