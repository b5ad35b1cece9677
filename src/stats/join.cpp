#include "stats/join.h"

#include "platform/number_text.h"
#include "stats/ranking.h"

#include <cmath>
#include <limits>

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

// One above v, or the next larger single where v + 1 rounds back to v (from 2^24 up), so that
// the top value always lies below the top rank's "未満" bound.
float above(float v)
{
    const float next = v + 1;
    return next > v ? next : std::nextafter(v, std::numeric_limits<float>::infinity());
}

// The smallest value and one above the largest, in single precision; both 0 without values.
// Returns why the values cannot be ranked in single precision, if they cannot.
std::optional<QString> setValueRange(const platform::KeyedTable& table, int item, state::MdlMain& state)
{
    state.StatMin = 0;
    state.StatMax = 0;
    bool first = true;
    bool beyondSingle = false;
    for (const auto& row : table) {
        const QString text = row.subItem(item);
        if (!platform::isNumeric(text))
            continue;
        const auto number = platform::toSingle(text);
        if (!number) {
            beyondSingle = true; // numeric, but no single-precision number holds it
            continue;
        }
        const float v = *number;
        if (first) {
            state.StatMin = v;
            state.StatMax = above(v);
            first = false;
        } else if (v < state.StatMin) {
            state.StatMin = v;
        } else if (v >= state.StatMax) {
            state.StatMax = above(v);
        }
    }
    if (beyondSingle)
        return beyondSingleMessage();
    if (first)
        return std::nullopt;
    return rankRangeProblem(state.StatMin, state.StatMax);
}

bool isAsciiDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The exact key first, so a code that is drawn as written never changes meaning by padding.
platform::KeyedTable::Row* findDistrict(platform::KeyedTable& table, const QString& prefix, const QString& code,
                                 mapview::MapMode mode)
{
    if (auto* row = table.find(prefix + code))
        return row;
    const QString padded = paddedCode(code, mode);
    return padded == code ? nullptr : table.find(prefix + padded);
}

} // namespace

QString paddedCode(const QString& code, mapview::MapMode mode)
{
    if (!isAsciiDigits(code))
        return code;
    static const QVector<int> japan{2}, pref{5}, city{5, 9, 11};
    const QVector<int>& lengths =
        mode == mapview::MapMode::Japan ? japan : mode == mapview::MapMode::Pref ? pref : city;
    for (const int length : lengths) {
        if (code.size() < length)
            return code.rightJustified(length, QLatin1Char('0'));
        if (code.size() == length)
            return code;
    }
    return code;
}

QString unmatchedRowsText(int unmatchedRows)
{
    return QStringLiteral("一致しない行: %1").arg(unmatchedRows);
}

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
        if (auto* row = findDistrict(table, prefix, code, mode)) {
            row->setSubItem(item, cell(state, r, state.StatColumn));
            continue;
        }
        ++result.unmatchedRows;
        if (pref) {
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

    if (auto problem = setValueRange(table, item, state))
        result.rankProblem = *problem;
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
        if (const auto number = platform::toSingle(row.subItem(item)))
            values.append(*number);
    }
    return values;
}

} // namespace miratos::stats
