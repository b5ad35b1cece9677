#include "platform/fonts.h"

#include <QFont>

namespace miratos::platform {

void installFontSubstitutes()
{
    QFont::insertSubstitutions(kLabelFontFace, QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                                QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), QStringList{QStringLiteral("IPAGothic"),
                                                             QStringLiteral("Noto Sans Mono CJK JP")});
}

} // namespace miratos::platform
