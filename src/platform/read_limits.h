#pragma once
// What the readers agree to read: only regular files (a FIFO or a device would block or never
// end), each kind of file up to a size generous for national data. The limits live in one table
// (read_limits.cpp) so that a user meets the same figures everywhere.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <limits>

class QFile;

namespace miratos::platform {

// The largest file of the kind the path names (by its file name and suffix), in bytes.
qint64 readLimitFor(const QString& path);

// "2.0 GB", "256 MB", "12 KB", "300 バイト": a size as the messages show it.
QString sizeText(qint64 bytes);

// For probes that look at the start of a file of any size: only the kind of file is checked.
constexpr qint64 kAnySize = std::numeric_limits<qint64>::max();

// Refuses anything but a regular file no larger than limit (readLimitFor(path) when negative).
// Links are followed: what counts is the file they lead to.
Status checkReadable(const QString& path, qint64 limit = -1);

// Opens file for reading after the same check, without ever blocking on a FIFO that appears in
// between; the error names the file.
Status openForReading(QFile& file, const QString& path, qint64 limit = -1);

// Reads a whole file the same way.
Result<QByteArray> readCheckedFile(const QString& path, qint64 limit = -1);

// The file a reader is busy with on this thread, so that a command or window that runs out of
// memory can name it. A scope that ends by an exception leaves the name for the catcher.
class ReadingFile {
public:
    explicit ReadingFile(const QString& path);
    ~ReadingFile();
    ReadingFile(const ReadingFile&) = delete;
    ReadingFile& operator=(const ReadingFile&) = delete;

private:
    QString m_previous;
    int m_exceptions;
};

// The file named by the innermost ReadingFile (or the last one an exception left), else the last
// file read whole on this thread; then forgotten.
QString takeFileBeingRead();

// "メモリが足りません（FILE）", or without the parentheses when no file is known.
QString outOfMemoryMessage();

} // namespace miratos::platform
