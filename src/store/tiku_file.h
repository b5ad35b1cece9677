#pragma once
// Tiku.dat: one record per municipality polygon, three lines each: the polygon key, the name
// parts (prefecture name, then county/city/ward/town joined by "@"), the five-digit
// municipality code. A municipality with islands has several records with the same code.
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace miratos::store {

struct TikuRecord {
    QString polygonKey;
    QString nameParts;
    QString code;

    bool operator==(const TikuRecord&) const = default;
};

// A record cut short at the end (a stray blank last line too) fails the read; the SkippingBad
// form leaves it out and notes it in skipped (file and line) instead.
Result<QVector<TikuRecord>> readTikuFile(const QString& path);
Result<QVector<TikuRecord>> readTikuFileSkippingBad(const QString& path, QStringList& skipped);
Status writeTikuFile(const QString& path, const QVector<TikuRecord>& records);

} // namespace miratos::store
