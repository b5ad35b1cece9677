#pragma once
// What the imports of statistic tables share: the prefecture folder a table goes to, and the
// lines of a table with the characters CP932 cannot hold marked.
#include <QString>
#include <QStringList>

namespace miratos::imports {

// The prefecture's folder in mapData, named by Init.ini [Pref] and created when missing; empty
// with error set when the code names no prefecture there.
QString prefectureFolder(const QString& prefCode, const QString& mapData, const QString& initIni, QString* error);

// The lines with each character CP932 cannot hold written as "〓", noted once for the file with
// the first line (when notes is given).
QStringList markedForCp932(QStringList lines, const QString& file, QStringList* notes);

} // namespace miratos::imports
