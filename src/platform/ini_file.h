#pragma once
// Reading INI-style settings files (Init.ini, 公共施設.ini) the way the Windows profile reader does.
#include <QString>

namespace miratos::platform {

// One value of an INI file: "ERROR" when the file, the section or the key is missing; an existing
// empty value gives empty text. Section and key names match without regard to ASCII case; blanks
// around the value and one pair of surrounding quotes are removed; the value is cut to 254 bytes
// of CP932 (never in the middle of a character). The file is CP932 (or UTF-8 with a BOM).
QString GetINIValue(const QString& key, const QString& section, const QString& file);

} // namespace miratos::platform
