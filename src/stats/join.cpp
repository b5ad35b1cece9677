#include "stats/join.h"

#include "platform/number_text.h"

namespace miratos::stats {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

platform::KeyedTable& districtTable(mapview::MapTables& tables, mapview::MapMode mode)
{
    return mode == mapview::MapMode::Japan ? tables.lvwUsePref : tables.lvwUseTiku;
}

const platform::KeyedTable& districtTable(const mapview::MapTables& tables, mapview::MapMode mode)
{
    return mode == mapview::MapMode::Japan ? tables.lvwUsePref : tables.lvwUseTiku;
}

int valueItem(mapview::MapMode mode)
{
    return mode == mapview::MapMode::City ? 1 : 3;
}

QString cell(const state::MdlMain& state, int row, int column)
{
    if (row < 0 || column < 0 || row >= static_cast<int>(state.StatTable.size()))
        return {};
    const auto& cells = state.StatTable[static_cast<size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(column)] : QString();
}

// The smallest value and one above the largest, in single precision; both 0 without values.
void setValueRange(const platform::KeyedTable& table, int item, state::MdlMain& state)
{
    state.StatMin = 0;
    state.StatMax = 0;
    bool first = true;
    for (const auto& row : table) {
        const auto number = platform::toNumber(row.subItem(item));
        if (!number)
            continue;
        const float v = static_cast<float>(*number);
        if (first) {
            state.StatMin = v;
            state.StatMax = v + 1;
            first = false;
        } else if (v < state.StatMin) {
            state.StatMin = v;
        } else if (v >= state.StatMax) {
            state.StatMax = v + 1;
        }
    }
}

} // namespace

JoinResult joinStatistic(mapview::MapTables& tables, state::MdlMain& state, mapview::MapMode mode)
{
    JoinResult result;
    platform::KeyedTable& table = districtTable(tables, mode);
    const int item = valueItem(mode);
    const bool pref = mode == mapview::MapMode::Pref;
    const QString prefix = mode == mapview::MapMode::Japan ? QStringLiteral("K") : QStringLiteral("G");

    state.RankSetting = {QStringLiteral("2"), QStringLiteral("0")};
    state.StatItemName = cell(state, 0, state.StatColumn);

    for (auto& row : table)
        row.setSubItem(item, QString());

    for (int r = 1; r <= state.StatRowCount; ++r) {
        const QString code = cell(state, r, 0);
        if (auto* row = table.find(prefix + code)) {
            row->setSubItem(item, cell(state, r, state.StatColumn));
        } else if (pref) {
            const QString name = cell(state, r, 1);
            if (isReportedUnmatched(code, name))
                result.statSide += code + QLatin1Char(' ') + name + kCrLf;
        }
    }

    if (pref) {
        for (const auto& row : table) {
            if (row.key.isEmpty() || !row.subItem(item).isEmpty())
                continue;
            const QString namePath = row.subItem(1);
            result.mapSide += row.key.mid(1) + QLatin1Char(' ') + namePath.mid(namePath.lastIndexOf(QLatin1Char('@')) + 1) + kCrLf;
        }
    }

    setValueRange(table, item, state);
    return result;
}

bool isReportedUnmatched(const QString& code, const QString& name)
{
    bool whole = false;
    const qlonglong number = code.trimmed().toLongLong(&whole);
    if (!whole)
        return true;
    const qlonglong m = number % 1000;
    const QString t = name.right(1);
    if (m < 200)
        return t != QStringLiteral("市") && t != QStringLiteral("部");
    if (m <= 299)
        return true;
    return t != QStringLiteral("郡");
}

QVector<float> joinedValues(const mapview::MapTables& tables, mapview::MapMode mode)
{
    QVector<float> values;
    const int item = valueItem(mode);
    for (const auto& row : districtTable(tables, mode)) {
        if (const auto number = platform::toNumber(row.subItem(item)))
            values.append(static_cast<float>(*number));
    }
    return values;
}

} // namespace miratos::stats
