#pragma once
// The labels are designed for the Windows face "ＭＳ Ｐゴシック"; IPAPGothic has the same metrics
// family and stands in for it (and IPAGothic for the fixed-width "ＭＳ ゴシック").
#include <QString>

namespace miratos::platform {

inline const QString kLabelFontFace = QStringLiteral("ＭＳ Ｐゴシック");

void installFontSubstitutes();

} // namespace miratos::platform
