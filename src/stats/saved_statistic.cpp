#include "stats/saved_statistic.h"

#include "platform/number_text.h"
#include "stats/extraction.h"
#include "stats/join.h"
#include "stats/ranking.h"
#include "store/statistic_file.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::stats {
namespace {

std::optional<QString> readTable(const state::SavedMap& m, state::MdlMain& s, mapview::MapMode mode, QStringList& notes)
{
    s.StatTable.clear();
    s.StatColCount = 0;
    s.StatRowCount = 0;
    s.StatKind = static_cast<int16_t>(m.ownData.isEmpty() ? m.stat : 0);
    QString note;
    if (!m.ownData.isEmpty()) {
        const Status read = store::appendStatisticFile(m.ownData, s.StatTable, s.StatColCount, s.StatRowCount, true, {}, &note);
        if (!read.ok())
            return read.error();
    } else {
        for (const auto& [path, name] : statisticFiles(mode, m.stat, s)) {
            if (!QFileInfo::exists(path))
                return name + QStringLiteral("のデータファイルがありません。");
            QString fileNote;
            const Status read = store::appendStatisticFile(path, s.StatTable, s.StatColCount, s.StatRowCount, false, {}, &fileNote);
            if (!read.ok())
                return read.error();
            if (!fileNote.isEmpty())
                notes << fileNote;
        }
    }
    if (!note.isEmpty())
        notes << note;
    if (s.StatTable.empty())
        return QStringLiteral("統計データが空です。");
    return std::nullopt;
}

void rank(const state::SavedMap& m, state::MdlMain& s, mapview::MapTables& t, mapview::MapMode mode)
{
    const int n = m.ranks;
    const bool saved = static_cast<int>(m.bounds.size()) == n && static_cast<int>(m.colors.size()) == n;
    RankProposal p;
    if (!saved) {
        const QVector<float> values = joinedValues(t, mode);
        if (m.classes == QLatin1String("quantile"))
            p = proposeQuantile(values, s.StatMin, s.StatMax, n);
        else if (m.classes == QLatin1String("jenks"))
            p = proposeJenks(values, s.StatMin, s.StatMax, n);
        else
            p = proposeEqualWidth(s.StatMin, s.StatMax, n);
    }
    const QVector<int> colours = seriesColors(m.series, n);
    s.RankCount = static_cast<int16_t>(n);
    s.RankBound.assign(static_cast<size_t>(n) + 1, {0, 0});
    s.RankColor.assign(static_cast<size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<size_t>(i);
        if (saved) {
            s.RankBound[k] = {static_cast<float>(m.bounds[k - 1][0]), static_cast<float>(m.bounds[k - 1][1])};
            s.RankColor[k] = m.colors[k - 1];
        } else {
            s.RankBound[k] = {static_cast<float>(platform::toNumber(p.lower.value(i - 1)).value_or(0)),
                              static_cast<float>(platform::toNumber(p.upper.value(i - 1)).value_or(0))};
            s.RankColor[k] = colours.value(i - 1);
        }
    }
    s.RankReady = true;
}

} // namespace

std::optional<QString> applySavedStatistic(const state::SavedMap& m, state::MdlMain& s, mapview::MapTables& t,
                                           mapview::MapMode mode, const AreaLookup& area, QStringList& notes)
{
    s.StatColumn = 0;
    s.RankReady = false;
    if (m.column.isEmpty() || (m.stat == 0 && m.ownData.isEmpty()))
        return std::nullopt;
    if (const auto problem = readTable(m, s, mode, notes))
        return problem;
    for (const QString& spec : m.computes) {
        const auto parts = splitComputeSpec(spec);
        const Status added = parts ? addComputedColumn(parts->first, parts->second, s.StatTable, s.StatColCount, s.StatRowCount, area)
                                   : Status(Error{parts.error()});
        if (!added.ok())
            notes << QStringLiteral("計算列「%1」は作れません: %2").arg(spec, added.error());
    }
    const auto& header = s.StatTable.front();
    int column = -1;
    for (int c = 1; c < static_cast<int>(header.size()); ++c) {
        if (header[static_cast<size_t>(c)] == m.column)
            column = c;
    }
    if (column < 0)
        return QStringLiteral("統計データに列「%1」がないので、統計は塗りません。").arg(m.column);
    if (!canRankColumn(s.StatTable, column, s.StatRowCount))
        return QStringLiteral("列「%1」は統計処理できません。").arg(m.column);
    s.StatColumn = static_cast<int16_t>(column);
    const JoinResult joined = joinStatistic(t, s, mode);
    if (!joined.rankProblem.isEmpty()) {
        s.StatColumn = 0;
        return joined.rankProblem;
    }
    rank(m, s, t, mode);
    return std::nullopt;
}

} // namespace miratos::stats
