#include "convert/small_area_converter.h"

#include "platform/import_lock.h"
#include "platform/app_folder.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "platform/path_part.h"
#include "platform/spreadsheet.h"
#include "platform/text_file.h"
#include "platform/xml_document.h"
#include "store/district_file.h"
#include "store/extent_check.h"
#include "store/district_file_name.h"

#include <QDir>
#include <array>
#include <QRegularExpression>

namespace miratos::convert {

QString smallAreaPrefFolder(const QString& code)
{
    const QString folder = platform::GetINIValue(code.left(2), QStringLiteral("Pref"), platform::AppFolder::initIni());
    if (folder == QLatin1String("ERROR") || folder.isEmpty() || platform::safePathPart(folder) != folder)
        return {};
    return platform::AppFolder::prefFolder(folder);
}

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Ring text on one line: "lon,lat lon,lat" with any whitespace between pairs -> "lon lat lon lat".
QString ringText(const platform::XmlNode& ring)
{
    QString text = utf8(ring.firstChild().firstChild().text());
    text.replace(QLatin1Char(','), QLatin1Char(' '));
    return text.simplified();
}

QStringList headers(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromUtf8(name);
    return list;
}

QStringList ageHeaders()
{
    const QStringList ages = headers({"０～４歳", "５～９歳", "１０～１４歳", "１５～１９歳", "２０～２４歳", "２５～２９歳",
                                      "３０～３４歳", "３５～３９歳", "４０～４４歳", "４５～４９歳", "５０～５４歳", "５５～５９歳",
                                      "６０～６４歳", "６５～６９歳", "７０～７４歳", "１５歳未満", "１５～６４歳", "６５歳以上",
                                      "６５～７４歳", "７５歳以上"});
    QStringList list;
    for (const QString& group : {QStringLiteral("総数"), QStringLiteral("男"), QStringLiteral("女")}) {
        list << (group == QStringLiteral("総数") ? QStringLiteral("総数(年齢「不詳」含む)") : group + QStringLiteral("の総数(年齢「不詳」含む)"));
        for (const QString& age : ages)
            list << group + age;
        list << group + QStringLiteral("の総年齢(歳)");
    }
    return list;
}

} // namespace

std::optional<QString> smallAreaCodeOfPath(const QString& path)
{
    if (path.size() < 9 || !path.endsWith(QLatin1String("xml")))
        return std::nullopt;
    return path.mid(path.size() - 9, 5);
}

Result<SmallAreaBoundaryReport> convertSmallAreaBoundary(const QString& xmlPath, int year, const QString& code,
                                                        const QString& prefFolder, const std::function<void(qint64)>& counter)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    auto doc = platform::XmlDocument::load(xmlPath);
    if (!doc)
        return Error{doc.error()};
    const auto box = doc->firstElementText("Coordinates");
    if (!box)
        return Error{QStringLiteral("%1: 範囲（Coordinates）がありません").arg(shown(xmlPath))};
    // The extent becomes the district file's header, which the map reads as four numbers: a file
    // the map could not open is not written.
    const QString header = QString(*box).replace(QLatin1Char(','), QLatin1Char(' ')).simplified();
    const auto extent = store::parseDistrictHeader(header);
    if (!extent)
        return Error{QStringLiteral("%1: 範囲（最初の Coordinates）が 4 つの数値ではありません: %2").arg(shown(xmlPath), header.left(80))};
    if (const QString problem = store::extentProblem(extent->west, extent->east, extent->south, extent->north); !problem.isEmpty())
        return Error{QStringLiteral("%1: 範囲（最初の Coordinates）が地図になりません（%2）").arg(shown(xmlPath), problem)};

    // Name pass: the ward name, or the municipality name when the ward name is blank.
    QString municipality, name;
    bool named = false;
    {
        auto nodes = doc->selectNodes("//GeometricFeature//");
        for (platform::XmlNode node : nodes) {
            if (node.name() != "Property")
                continue;
            const std::string_view attribute = node.firstAttribute();
            if (attribute == "GST_NAME") {
                municipality = utf8(node.text());
            } else if (attribute == "CSS_NAME") {
                const QString ward = utf8(node.text());
                name = QString(ward).remove(QLatin1Char(' ')).isEmpty() ? municipality : ward;
                named = true;
                break;
            }
        }
        if (!named && !municipality.isEmpty()) {
            name = municipality;
            named = true;
        }
    }
    SmallAreaBoundaryReport report;
    const QString fileName = named ? store::districtFileName(year, code, name)
                                   : QStringLiteral("%1_%2.dat").arg(year, 2, 10, QLatin1Char('0')).arg(platform::safePathPart(code));
    report.path = QDir(prefFolder).filePath(fileName);

    QStringList lines;
    lines << header;
    // Each GeometricFeature becomes one whole record of eight lines in the fixed order, whatever
    // order its attributes stand in; a missing attribute leaves its line empty and a line break in
    // a value becomes a space, so that a damaged feature never shifts the records after it.
    enum Field { Ring, Area, AreaClass, Code, Representative, Town, LabelX, LabelY, FieldCount };
    std::array<QString, FieldCount> record;
    QString ken, keycode;
    bool inFeature = false;
    auto flush = [&] {
        if (inFeature && !record[Ring].isEmpty()) {
            record[Code] = ken + keycode;
            for (const QString& field : record)
                lines << field;
            ++report.records;
        }
        record = {};
        ken.clear();
        keycode.clear();
    };
    auto nodes = doc->selectNodes("//GeometricFeature//");
    for (platform::XmlNode node : nodes) {
        if (++report.counter % 100 == 0 && counter)
            counter(report.counter);
        const std::string_view tag = node.name();
        if (tag == "GeometricFeature") {
            flush();
            inFeature = true;
        } else if (tag == "OuterBoundary") {
            record[Ring] += ringText(node);
        } else if (tag == "InnerBoundary") {
            record[Ring] += QLatin1Char('@') + ringText(node);
        } else if (tag == "Property") {
            const std::string_view attribute = node.firstAttribute();
            QString text = utf8(node.text()).trimmed();
            text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (attribute == "AREA")
                record[Area] = text;
            else if (attribute == "HCODE")
                record[AreaClass] = text;
            else if (attribute == "KEN")
                ken = text;
            else if (attribute == "KEYCODE2")
                keycode = text;
            else if (attribute == "AREA_MAX_F")
                record[Representative] = text;
            else if (attribute == "MOJI")
                record[Town] = text;
            else if (attribute == "X_CODE")
                record[LabelX] = text;
            else if (attribute == "Y_CODE")
                record[LabelY] = text;
        }
    }
    flush();
    if (lines.size() == 1)
        return Error{QStringLiteral("%1: 小地域（GeometricFeature）が 1 つもありません").arg(shown(xmlPath))};
    if (Status written = platform::writeTextLines(report.path, lines); !written)
        return Error{written.error()};
    return report;
}

const std::vector<SmallAreaTable>& smallAreaTables()
{
    static const std::vector<SmallAreaTable> tables = {
        {1, QStringLiteral("男女別人口総数及び世帯総数"), headers({"人口総数", "男", "女", "世帯総数"})},
        {2, QStringLiteral("年齢別（５歳階級、４区分）、男女別人口"), ageHeaders()},
        {3, QStringLiteral("世帯人員別一般世帯数"),
         headers({"一般世帯数（世帯人員6人以上含む）", "世帯人員1人", "世帯人員2人", "世帯人員3人", "世帯人員4人", "世帯人員5人",
                  "一般世帯人員(人)", "1世帯当り人員(人/世帯)"})},
        {4, QStringLiteral("世帯の家族類型別一般世帯数"),
         headers({"一般世帯総数", "A　親族世帯", "I　核家族世帯", "（１）夫婦のみの世帯", "（２）夫婦と子供から成る世帯",
                  "Ⅱその他の親族世帯", "6歳未満親族のいる一般世帯総数", "18歳未満親族のいる一般世帯総数",
                  "65歳以上親族のいる一般世帯総数"})},
        {5, QStringLiteral("住宅の種類・所有の関係別一般世帯数、延べ面積"),
         headers({"住宅に住む一般世帯", "持ち家", "民営借家", "1世帯当り延面積", "1人当り延面積", "総延面積"})},
        {6, QStringLiteral("住宅の建て方別世帯数"),
         headers({"主世帯数", "一戸建", "長屋建", "共同住宅", "共同住宅1・2階建", "共同住宅3～5階建", "共同住宅6～10階建",
                  "共同住宅11階建以上", "その他"})},
        {7, QStringLiteral("６５歳以上親族のみの一般世帯数"), headers({"65歳以上親族のみの世帯数"})},
        {8, QStringLiteral("産業別（大分類）・従業上の地位別就業者数"),
         headers({"総数", "A　農業", "B　林業", "C　漁業", "D　鉱業", "E　建設業", "F　製造業", "G　電気・ガス・熱供給・水道業",
                  "H　運輸・通信業", "I　卸・小売・飲食店", "J　金融・保険業", "K　不動産業", "L　サービス業", "M　公務（その他）",
                  "雇用者(役員含む)", "自営業主(家庭内職者含む)", "家族従業者"})},
        {9, QStringLiteral("在学学校・未就学の種類別在学者数・未就学者数"),
         headers({"在学者", "小・中学校", "高校", "短大・高専", "大学・大学院", "未就学者"})},
        {10, QStringLiteral("世帯の経済構成別一般世帯数"),
         headers({"総数", "Ⅰ　農林漁業就業者世帯", "Ⅱ　農林漁業・非農林漁業就業者混合世帯", "Ⅲ　非農林漁業就業者世帯",
                  "Ⅳ　非就業者世帯"})},
        {11, QStringLiteral("職業別（大分類）就業者数"),
         headers({"職業別１５歳以上就業者", "A　専門的・技術的職業従事者", "B　管理的職業従事者", "C　事務従事者", "D　販売従事者",
                  "E　サービス職業従事者", "F　保安職業従事者", "G　農林漁業従事者", "H　運輸・通信従事者",
                  "Ｉ　生産工程・労務作業者"})},
    };
    return tables;
}

Status convertSmallAreaTable(const QString& inputPath, const QString& outputPath, const SmallAreaTable& table)
{
    platform::ImportLock lock; // one import or conversion at a time in an app folder
    if (Status locked = lock.acquire(); !locked)
        return Error{locked.error()};
    const auto lines = platform::readTextLines(inputPath);
    if (!lines)
        return Error{lines.error()};
    if (!lines->isEmpty() && isTodaysSmallAreaTable(lines->first()))
        return Error{QStringLiteral("%1: 今の形式の小地域集計（KEY_CODE, …, GASSAN の後に値）です。この変換では値の列がずれるので、"
                                    "miratos import で取り込んでください")
                         .arg(shown(inputPath))};
    platform::Sheet sheet;
    sheet.setText(1, 1, QStringLiteral("Code"));
    sheet.setText(1, 2, QStringLiteral("地区名"));
    const int values = static_cast<int>(table.valueHeaders.size());
    for (int c = 0; c < values; ++c)
        sheet.setText(1, 3 + c, table.valueHeaders.at(c));
    sheet.setColumnTextFormat(1);
    int row = 2;
    for (qsizetype j = 2; j < lines->size(); ++j) {
        if (lines->at(j).trimmed().isEmpty())
            continue; // a blank line (such as one left at the end by an editor) is no small area
        ++row;
        const QStringList fields = lines->at(j).split(QLatin1Char(','));
        const auto field = [&](int i) { return i < fields.size() ? fields.at(i) : QString(); };
        sheet.setValue(row, 1, field(0));
        sheet.setValue(row, 2, field(3) + QStringLiteral("・") + field(4));
        for (int c = 3; c <= 2 + values; ++c)
            sheet.setValue(row, c, field(c + 2));
    }
    sheet.deleteRows(2, 2);
    return sheet.saveCsv(outputPath);
}

bool isTodaysSmallAreaTable(const QString& firstLine)
{
    QStringList head = firstLine.split(QLatin1Char(','));
    for (QString& field : head)
        field = field.trimmed().remove(QLatin1Char('"'));
    return head.size() > 1 && head.first() == QLatin1String("KEY_CODE") && head.contains(QLatin1String("GASSAN"));
}

int twoDigitCensusYear(int year)
{
    return year - 1988;
}

} // namespace miratos::convert
