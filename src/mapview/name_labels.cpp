#include "mapview/name_labels.h"

#include "platform/number_text.h"

#include <QHash>

namespace miratos::mapview {
namespace {

// Moves a label so that its point is at its middle: whole-pixel halves, back in degrees.
void centre(Label& label, const platform::Canvas& scale)
{
    const double degX = std::abs(scale.scaleRight() - scale.scaleLeft()) / scale.width();
    const double degY = std::abs(scale.scaleTop() - scale.scaleBottom()) / scale.height();
    label.left -= (label.pixelSize.width() / 2) * degX;
    label.top += (label.pixelSize.height() / 2) * degY;
}

const QHash<QChar, QString>& katakanaTable()
{
    static const QHash<QChar, QString> table = [] {
        QHash<QChar, QString> t;
        const QString wide = QStringLiteral("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
        const QString narrow = QStringLiteral("｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ");
        for (qsizetype i = 0; i < wide.size(); ++i)
            t.insert(wide.at(i), QString(narrow.at(i)));
        const QString voiced = QStringLiteral("ガギグゲゴザジズゼゾダヂヅデドバビブベボ");
        const QString voicedBase = QStringLiteral("ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ");
        for (qsizetype i = 0; i < voiced.size(); ++i)
            t.insert(voiced.at(i), QString(voicedBase.at(i)) + QStringLiteral("ﾞ"));
        const QString semi = QStringLiteral("パピプペポ");
        const QString semiBase = QStringLiteral("ﾊﾋﾌﾍﾎ");
        for (qsizetype i = 0; i < semi.size(); ++i)
            t.insert(semi.at(i), QString(semiBase.at(i)) + QStringLiteral("ﾟ"));
        t.insert(QChar(0x30F4), QStringLiteral("ｳﾞ")); // ヴ
        return t;
    }();
    return table;
}

QString tooltipOrCaption(const state::MdlMain& state, const platform::KeyedTable::Row* row, int valueItem, const QString& caption)
{
    if (state.StatDrawn)
        return row ? row->subItem(valueItem) : QString();
    return caption;
}

} // namespace

QString toHalfWidth(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            out += QChar(static_cast<char16_t>(u - 0xFEE0));
        else if (u == 0x3000)
            out += QLatin1Char(' ');
        else if (const auto it = katakanaTable().constFind(c); it != katakanaTable().constEnd())
            out += it.value();
        else
            out += c;
    }
    return out;
}

QString townCaption(const QString& townName)
{
    QString caption = townName;
    caption.remove(QStringLiteral("丁目"));
    return toHalfWidth(caption);
}

QString municipalityCaption(const QString& nameParts)
{
    const QStringList parts = nameParts.split(QLatin1Char('@'));
    const QString& last = parts.last();
    if (parts.size() >= 2 && last.endsWith(QStringLiteral("市")) && parts.at(parts.size() - 2).endsWith(QStringLiteral("区")))
        return parts.at(parts.size() - 2);
    return last;
}

LabelStyle labelStyleOf(const state::MdlMain& state, LabelKind kind)
{
    const auto& row = state.LayerProperty[static_cast<size_t>(kind)];
    LabelStyle style;
    style.font = QFont(QStringLiteral("ＭＳ Ｐゴシック"));
    const int size = row[0].toInt();
    style.font.setPointSize(size > 0 ? size : 9);
    style.font.setBold(false);
    style.color = state::colorValueOf(row[1]);
    style.whiteBackground = row[2].toInt() != 0;
    return style;
}

void buildNameLabels(LabelLayer& layer, const MapTables& t, const state::MdlMain& state, MapMode mode, bool ticked,
                     const platform::Canvas& scale)
{
    LabelArray& lbl = layer.lblPref();
    lbl.removeCopies();
    if (!ticked)
        return;
    auto number = [](const QString& text) { return platform::toNumber(text).value_or(0); };
    if (mode == MapMode::Japan) {
        for (const auto& row : t.lvwUsePref) {
            Label& l = lbl.edit(layer.add(LabelKind::Pref, row.text, number(row.subItem(1)), number(row.subItem(2))));
            l.tooltip = tooltipOrCaption(state, &row, 3, l.caption);
            l.tag = row.key; // the region's row, for value labels
            centre(l, scale);
        }
    } else if (mode == MapMode::Pref) {
        for (const auto& row : t.lvwUseTiku) {
            const auto* point = t.lvwPoint.find(row.text);
            const QStringList latLon = point ? point->text.split(QLatin1Char(' ')) : QStringList();
            const double lat = number(latLon.value(0));
            const double lon = number(latLon.value(1));
            Label& l = lbl.edit(layer.add(LabelKind::Pref, municipalityCaption(row.subItem(1)), lon, lat));
            l.tooltip = tooltipOrCaption(state, &row, 3, l.caption);
            l.tag = row.key;
            centre(l, scale);
        }
    } else if (mode == MapMode::City) {
        // Municipality names sit with their top-left corner on the municipality's centre.
        for (int k = 1; k <= state.TikuCount; ++k) {
            const auto& row = state.TikuTable[static_cast<size_t>(k)];
            Label& l = lbl.edit(layer.add(LabelKind::Pref, row[0], number(row[1]), number(row[2])));
            l.tooltip = l.caption;
        }
    }
}

void buildTownLabels(LabelLayer& layer, const MapTables& t, const state::MdlMain& state, bool ticked,
                     const TownFilter& filter, const platform::Canvas& scale)
{
    LabelArray& lbl = layer.lblTiku();
    lbl.removeCopies();
    if (!ticked)
        return;
    const bool white = state.LayerProperty[1][2].toInt() != 0;
    for (const DistrictRecord& d : t.DistrictRecords) {
        if (filter.representativeOnly && d.representative != QLatin1String("M"))
            continue;
        if (filter.minimumArea && platform::toNumber(d.area).value_or(0) < filter.minimum && !d.townName.contains(QStringLiteral("５")))
            continue;
        const auto* row = t.lvwUseTiku.find(QStringLiteral("G") + d.code);
        if (state.StatDrawn && filter.topRankOnly && (!row || row->subItem(3).isEmpty()))
            continue;
        const QString caption = townCaption(d.townName);
        Label& l = lbl.edit(layer.add(LabelKind::Tiku, caption, platform::toNumber(d.labelX).value_or(0),
                                    platform::toNumber(d.labelY).value_or(0)));
        l.opaque = white && !caption.isEmpty();
        l.tag = QStringLiteral("G") + d.code;
        l.tooltip = state.StatDrawn ? (row ? row->subItem(1) : QString()) : caption;
        centre(l, scale);
    }
}

} // namespace miratos::mapview
