#pragma once
// PrefLine.dat: one line per closed ring of the prefecture's outline, the ring's line keys
// joined by "@" (see map_keys.h). A ring of one key is a single closed line, such as an island.
#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace miratos::store {

// A blank line (a ring without keys) fails the read; the SkippingBad form leaves it out and notes
// it in skipped (file and line) instead.
Result<QStringList> readPrefLineFile(const QString& path);
Result<QStringList> readPrefLineFileSkippingBad(const QString& path, QStringList& skipped);
Status writePrefLineFile(const QString& path, const QStringList& rings);

} // namespace miratos::store
