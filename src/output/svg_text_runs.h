#pragma once
// QSvgGenerator writes one line of text as several <text> runs, split where its font fallback
// changes, each placed at the x the run had with the fonts of this machine. A viewer with other
// fonts then draws the runs over each other; joined back into one element, the line stays whole.
#include <QByteArray>

namespace miratos::output {

// Joins each series of adjacent <text> elements that differ only in their x into the first.
QByteArray joinSvgTextRuns(const QByteArray& svg);

// Names after each font family the faces that stand in for it here (QFont's substitutes) and
// sans-serif, so a viewer without "ＭＳ Ｐゴシック" takes the face the picture was laid out with.
QByteArray addSvgFontFallbacks(const QByteArray& svg);

} // namespace miratos::output
