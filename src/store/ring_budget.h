#pragma once
// Rings of PrefLine.dat and Polygon.dat name lines of Line.dat by key; drawing walks every line
// each time it is named. A small file whose ring names one long line 300,000 times would ask for
// billions of points, so the points all rings may walk are held in proportion to the lines
// loaded: real outlines walk each line about twice.
#include <QString>
#include <QtGlobal>

namespace miratos::store {

class RingPointBudget {
public:
    explicit RingPointBudget(qint64 linePoints);
    // Counts a ring's points; false, and nothing counted, when they would pass the limit.
    bool take(qint64 ringPoints);
    qint64 limit() const { return m_limit; }

private:
    qint64 m_limit;
    qint64 m_used = 0;
};

// "FILE: 環 RECORD がたどる点が…": the message for a ring left out by the budget.
QString ringOverBudget(const QString& file, const QString& record, qint64 limit);

} // namespace miratos::store
