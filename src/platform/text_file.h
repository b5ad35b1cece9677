#pragma once
// Line-oriented text files as MapData keeps them: CP932 with CR LF. Readers also take LF line
// ends, a last line without line end, and UTF-8 files that start with a byte order mark.
#include "platform/cp932.h"
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace miratos::platform {

// Reads a whole file into memory; an error names the file.
Result<QByteArray> readFileBytes(const QString& path);

// Splits decoded text into lines at CR LF or LF. A final line end does not add an empty line.
// Text without any LF but with CR is split at CR (files saved with CR-only line ends).
QStringList splitLines(const QString& text);

// The same split on bytes, without decoding: views into bytes, which must outlive them.
std::vector<QByteArrayView> splitByteLines(QByteArrayView bytes);

// Reads a text file as lines (CP932, or UTF-8 with a byte order mark). Invalid bytes are read as
// kInvalidByteMark and counted in invalid (see cp932.h); a UTF-16 file is an error.
Result<QStringList> readTextLines(const QString& path, qsizetype* invalid = nullptr);

// Like readTextLines, but also recognises UTF-8 without a byte order mark (files users bring).
Result<QStringList> readTextLinesGuessing(const QString& path, qsizetype* invalid = nullptr);

// The first line of such a file, from its start only: what a probe needs to tell its kind.
Result<QString> readFirstLineGuessing(const QString& path);

// Writes lines as CP932, each ended with CR LF (the last one too unless lastLineEnd is false).
// The file is replaced only when everything was written; a character CP932 cannot hold is an
// error naming the file and the line.
Status writeTextLines(const QString& path, const QStringList& lines, bool lastLineEnd = true);

// Appends lines (CP932, CR LF) to a file, creating it when missing. The file is replaced whole:
// a failed append leaves it as it was.
Status appendTextLines(const QString& path, const QStringList& lines);

// Replaces a file with the given bytes through a temporary file that is renamed at the end
// (checked and staged as platform/safe_write.h describes).
Status writeFileAtomically(const QString& path, const QByteArray& bytes);

// Encodes lines as CP932 with CR LF; the error names the line (1-based).
Result<QByteArray> encodeLines(const QStringList& lines, bool lastLineEnd = true);

} // namespace miratos::platform
