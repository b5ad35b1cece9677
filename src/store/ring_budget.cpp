#include "store/ring_budget.h"

#include <QDir>
#include <algorithm>

namespace miratos::store {

RingPointBudget::RingPointBudget(qint64 linePoints) : m_limit(std::max<qint64>(10'000'000, 50 * linePoints)) {}

bool RingPointBudget::take(qint64 ringPoints)
{
    if (ringPoints > m_limit - m_used)
        return false;
    m_used += ringPoints;
    return true;
}

QString ringOverBudget(const QString& file, const QString& record, qint64 limit)
{
    return QStringLiteral("%1: 環「%2」は線をたどると点が上限の %3 個を超えるため描きません")
        .arg(QDir::toNativeSeparators(file), record.size() > 60 ? record.left(60) + QStringLiteral("…") : record)
        .arg(limit);
}

} // namespace miratos::store
