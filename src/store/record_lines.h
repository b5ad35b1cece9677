#pragma once
// Shared reading and writing of the line-per-value files of MapData: a file is a run of
// fixed-size records (after an optional header), and readers find a field by counting lines.
#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace miratos::store {

// Reads a file as lines and checks that, after headerLines header lines, the lines make whole
// records of recordSize lines. A record cut short at the end (a stray blank last line too) is an
// error naming the file, the record and the line it starts at, so a caller never keeps half a
// record; when skipped is given, the short record is left out and noted there instead and the
// whole records are returned. Fewer lines than the header needs is an error.
Result<QStringList> readRecordLines(const QString& path, int recordSize, int headerLines = 0, QStringList* skipped = nullptr);

// The note for a record a reader left out: the file, the line the record starts at, and why.
QString skippedNote(const QString& path, qsizetype line, const QString& why);

// Writes lines as CP932 with CR LF after each, replacing the file only when all went well. A
// value holding a line break is refused: it would shift every following record of the file.
Status writeRecordLines(const QString& path, const QStringList& lines);

// The file name as messages show it.
QString displayPath(const QString& path);

} // namespace miratos::store
