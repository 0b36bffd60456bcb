#pragma once
#include <QLocale>
#include <QString>

namespace ctl {
// The localised names of the predefined gradients 0..3 and of "custom" (4),
// five per language; other numbers give an empty text. Languages without a
// table of their own get the English names.
QString GradientName(int no, const QLocale& locale = QLocale());
// The text by its string-table id: 1..45, five per language in the order
// Danish, English, Norwegian, German, Dutch, Spanish, Swedish, British
// English, Irish English.
QString GradientNameById(int id);
inline constexpr int kGradientNameCount = 5; // four predefined plus "custom"
} // namespace ctl
