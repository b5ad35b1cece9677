#pragma once
// Tiku.dat: one record per municipality polygon, three lines each: the polygon key, the name
// parts (prefecture name, then county/city/ward/town joined by "@"), the five-digit
// municipality code. A municipality with islands has several records with the same code.
#include "platform/result.h"

#include <QString>
#include <QVector>

namespace miratos::store {

struct TikuRecord {
    QString polygonKey;
    QString nameParts;
    QString code;

    bool operator==(const TikuRecord&) const = default;
};

Result<QVector<TikuRecord>> readTikuFile(const QString& path);
Status writeTikuFile(const QString& path, const QVector<TikuRecord>& records);

} // namespace miratos::store
