#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace miratos::platform {

bool installJapaneseTranslations()
{
    static QTranslator translator;
    static bool installed = false;
    if (installed)
        return true;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        return false;
    installed = QCoreApplication::installTranslator(&translator);
    return installed;
}

} // namespace miratos::platform
