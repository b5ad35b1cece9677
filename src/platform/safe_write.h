#pragma once
// The one way files are written. A target below the app folder is checked first: when the file
// or one of its folders is a symbolic link leading out of the app folder, nothing is written.
// A file is replaced by renaming a temporary file over its path, so a link that stays inside is
// replaced, never written through, and a failed write leaves the old file as it was.
//
// Jobs that write several files (imports, converters) open a WriteBatch: while it is open, every
// write is only staged as a temporary file beside its target, and commit() renames them all into
// place once every one was written. A batch destroyed without commit() removes its temporary
// files, so a job that fails part-way changes nothing.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace miratos::platform {

// Refuses a target below the app folder whose file or folders are links leading out of it; the
// message names the link and where it leads. Targets outside the app folder are the user's
// choice and pass.
Status checkWriteTarget(const QString& path);

// Creates a folder (and its parents) after the same check.
Status makeFolder(const QString& folder);

// Replaces path with bytes (or stages it in the open batch). writeFileAtomically uses it.
Status replaceFile(const QString& path, const QByteArray& bytes);

// What a staged but not yet committed write holds for path, so that a job appending to a file it
// wrote earlier sees its own write.
std::optional<QByteArray> stagedContent(const QString& path);

// The names of the files staged but not yet committed in folder, so that a job can find the files
// an earlier job of the same batch wrote there.
QStringList stagedFileNames(const QString& folder);

class WriteBatch {
public:
    // A batch opened while another one is open on this thread joins it: its commit() leaves the
    // files to the outer batch, and destroying it without commit() drops only its own files.
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Checks every target again and renames the staged files into place in the order written.
    Status commit();

private:
    size_t m_start = 0;
    bool m_outer = false;
    bool m_done = false;
};

} // namespace miratos::platform
