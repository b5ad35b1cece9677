#include "stats/painted_regions.h"

#include "mapview/name_labels.h"
#include "platform/number_text.h"
#include "platform/text_file.h"
#include "stats/join.h"

#include <QHash>
#include <cmath>

namespace miratos::stats {
namespace {

double number(const QString& text)
{
    return platform::toNumber(text).value_or(0);
}

QString csvField(QString text)
{
    // A spreadsheet runs a cell that starts with = + - @ as a formula: a name or code from a
    // hostile table could make it fetch or run something. Such a text (not a number) is kept as
    // text by a leading apostrophe.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()) && !platform::isNumeric(text))
        text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

std::vector<PaintedRegion> paintedRegions(const mapview::MapTables& t, mapview::MapMode mode)
{
    std::vector<PaintedRegion> regions;
    if (mode == mapview::MapMode::Japan) {
        for (const auto& row : t.lvwUsePref)
            regions.push_back({row.key, row.key.mid(1), row.text, number(row.subItem(1)), number(row.subItem(2)), row.subItem(3)});
    } else if (mode == mapview::MapMode::Pref) {
        for (const auto& row : t.lvwUseTiku) {
            if (row.key.isEmpty())
                continue;
            const auto* point = t.lvwPoint.find(row.text);
            const QStringList latLon = point ? point->text.split(QLatin1Char(' ')) : QStringList();
            regions.push_back({row.key, row.key.mid(1), mapview::municipalityCaption(row.subItem(1)), number(latLon.value(1)),
                               number(latLon.value(0)), row.subItem(3)});
        }
    } else if (mode == mapview::MapMode::City) {
        // A code's label point is its first record's, as its name is.
        QHash<QString, const mapview::DistrictRecord*> first;
        for (const mapview::DistrictRecord& d : t.DistrictRecords) {
            if (!first.contains(d.code))
                first.insert(d.code, &d);
        }
        for (const auto& row : t.lvwUseTiku) {
            const mapview::DistrictRecord* d = first.value(row.key.mid(1));
            regions.push_back({row.key, row.key.mid(1), row.text, d ? number(d->labelX) : 0, d ? number(d->labelY) : 0,
                               row.subItem(1)});
        }
    }
    return regions;
}

Result<std::vector<layers::Symbol>> symbolsOf(const std::vector<PaintedRegion>& regions, const state::MdlMain& state,
                                              mapview::MapMode mode, const QString& column)
{
    QHash<QString, QString> values;
    const bool own = !column.isEmpty();
    if (own) {
        int c = -1;
        const auto& header = state.StatTable.empty() ? std::vector<QString>() : state.StatTable.front();
        for (int i = 1; i < static_cast<int>(header.size()); ++i) {
            if (header[static_cast<size_t>(i)] == column)
                c = i;
        }
        if (c < 0)
            return Error{QStringLiteral("統計表に列「%1」がありません。").arg(column)};
        QHash<QString, int> drawn;
        for (const PaintedRegion& r : regions)
            drawn.insert(r.key, 0);
        const QString prefix = mode == mapview::MapMode::Japan ? QStringLiteral("K") : QStringLiteral("G");
        for (int r = 1; r <= state.StatRowCount && r < static_cast<int>(state.StatTable.size()); ++r) {
            const auto& cells = state.StatTable[static_cast<size_t>(r)];
            if (cells.empty())
                continue;
            // The exact code first, then the code with the zeros a spreadsheet dropped, as the join does.
            QString key = prefix + cells[0];
            if (!drawn.contains(key))
                key = prefix + paddedCode(cells[0], mode);
            if (drawn.contains(key))
                values.insert(key, c < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(c)] : QString());
        }
    }
    std::vector<layers::Symbol> symbols;
    for (const PaintedRegion& r : regions) {
        const auto v = platform::toNumber(own ? values.value(r.key) : r.value);
        if (v && std::isfinite(*v))
            symbols.push_back({r.lon, r.lat, *v});
    }
    return symbols;
}

int paintedRankOf(const state::PaintedRanking& painted, const QString& value)
{
    const auto number = platform::toNumber(value);
    if (!number)
        return 0;
    const float v = static_cast<float>(*number);
    for (int r = 1; r <= painted.count && r < static_cast<int>(painted.bounds.size()); ++r) {
        const auto& bound = painted.bounds[static_cast<size_t>(r)];
        if (bound[0] <= v && v < bound[1])
            return r;
    }
    return 0;
}

int paintedColorOf(const state::PaintedRanking& painted, const QString& value)
{
    const int rank = paintedRankOf(painted, value);
    // The renderer paints a region in no rank white.
    if (rank == 0 || rank >= static_cast<int>(painted.colors.size()))
        return 0xFFFFFF;
    return painted.colors[static_cast<size_t>(rank)];
}

QString colorHex(int c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QByteArray paintedTableCsv(const std::vector<PaintedRegion>& regions, const state::MdlMain& state)
{
    const bool painted = state.StatDrawn && state.StatPainted.count > 0;
    const QString valueTitle = painted && !state.StatPainted.itemName.isEmpty() ? state.StatPainted.itemName : QStringLiteral("値");
    QString text = QStringLiteral("コード,名前,%1,ランク,塗り色\r\n").arg(csvField(valueTitle));
    for (const PaintedRegion& r : regions) {
        QString rank, colour;
        if (painted) {
            const int k = paintedRankOf(state.StatPainted, r.value);
            rank = k > 0 ? QString::number(k) : QString();
            colour = colorHex(paintedColorOf(state.StatPainted, r.value));
        }
        text += csvField(r.code) + QLatin1Char(',') + csvField(r.name) + QLatin1Char(',') + csvField(r.value) + QLatin1Char(',') +
                rank + QLatin1Char(',') + colour + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

Status writePaintedTable(const QString& path, const std::vector<PaintedRegion>& regions, const state::MdlMain& state)
{
    return platform::writeFileAtomically(path, paintedTableCsv(regions, state));
}

} // namespace miratos::stats
