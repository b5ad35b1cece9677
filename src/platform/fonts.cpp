#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

namespace miratos::platform {

void installFontSubstitutes()
{
    QStringList proportional;
    proportional << QStringLiteral("IPAPGothic") << QStringLiteral("IPAexGothic") << QStringLiteral("Noto Sans CJK JP");
    QFont::insertSubstitutions(kLabelFontFace, proportional);
    QStringList fixed;
    fixed << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans Mono CJK JP");
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), fixed);
}

} // namespace miratos::platform
