#pragma once
// The prefecture a downloaded data file belongs to, read from its name the way the prefecture
// conversion window does when a data file is chosen.
#include <QString>

namespace miratos::convert {

// For a path ending in "xml": the part of the file name after its last "_", with every ".xml"
// removed ("…_13.xml" gives "13"). For one ending in "txt": the two characters before the last
// four ("N13.txt" gives "13"). Otherwise empty. Case counts: ".XML" and ".TXT" give empty text.
QString prefCodeFromDataFileName(const QString& path);

// The prefecture name for that code from Init.ini's [Pref] section; "ERROR" for an empty code or
// one the file does not hold.
QString prefNameFromDataFileName(const QString& path, const QString& initIni);

} // namespace miratos::convert
