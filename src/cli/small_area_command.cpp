#include "cli/small_area_command.h"

#include "convert/small_area_converter.h"
#include "platform/path_part.h"

#include <QDir>
#include <QHash>
#include <optional>

namespace miratos::cli {
namespace {

const char* const kUsage =
    "usage: miratos convert small-area [--app-folder DIR] --year YY --data FILE.xml\n"
    "       miratos convert small-area-census [--app-folder DIR] --year YY --code CODE --table 1..11 --data FILE.txt\n"
    "       YY is the two-digit census year of the file names (12, 17, 27, ...); the prefecture's folder must exist.\n";

// Options given as name/value pairs, each at most once and all of them known; nothing otherwise.
std::optional<QHash<QString, QString>> options(const QStringList& args, const QStringList& known)
{
    QHash<QString, QString> values;
    if (args.size() % 2 != 0)
        return std::nullopt;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (!known.contains(args.at(i)) || values.contains(args.at(i)))
            return std::nullopt;
        values.insert(args.at(i), args.at(i + 1));
    }
    for (const QString& name : known) {
        if (!values.contains(name))
            return std::nullopt;
    }
    return values;
}

// A two-digit year (a four-digit census year is turned into one).
int yearOf(const QString& text)
{
    bool ok = false;
    const int year = text.toInt(&ok);
    if (!ok || year <= 0)
        return 0;
    return year > 1900 ? convert::twoDigitCensusYear(year) : year;
}

int usage(QTextStream& err, const QString& why = {})
{
    if (!why.isEmpty())
        err << "miratos convert: " << why << "\n";
    err << kUsage;
    return 2;
}

// The prefecture folder of a municipality code, or an error printed.
QString folderOf(const QString& code, QTextStream& err)
{
    const QString folder = convert::smallAreaPrefFolder(code);
    if (folder.isEmpty())
        err << "miratos convert: 市区町村コード " << code << " の都道府県が Init.ini の [Pref] にありません\n";
    else if (!QDir(folder).exists())
        err << "miratos convert: 出力先のフォルダ " << QDir::toNativeSeparators(folder) << " がありません\n";
    else
        return folder;
    return {};
}

} // namespace

int runSmallAreaCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto o = options(args, {QStringLiteral("--year"), QStringLiteral("--data")});
    if (!o)
        return usage(err);
    const int year = yearOf(o->value(QStringLiteral("--year")));
    const QString data = o->value(QStringLiteral("--data"));
    const auto code = convert::smallAreaCodeOfPath(data);
    if (year == 0)
        return usage(err, QStringLiteral("--year には調査年を指定してください"));
    if (!code)
        return usage(err, QStringLiteral("--data には市区町村コードで終わる xml ファイル（…13101.xml）を指定してください"));
    const QString folder = folderOf(*code, err);
    if (folder.isEmpty())
        return 1;
    const auto report = convert::convertSmallAreaBoundary(data, year, *code, folder);
    if (!report) {
        err << "miratos convert: " << report.error() << "\n";
        return 1;
    }
    out << *code << ": 変換終了！ 小地域 " << report->records << " 件を " << QDir::toNativeSeparators(report->path) << " に書きました\n";
    return 0;
}

int runSmallAreaCensusCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto o = options(args, {QStringLiteral("--year"), QStringLiteral("--code"), QStringLiteral("--table"), QStringLiteral("--data")});
    if (!o)
        return usage(err);
    const int year = yearOf(o->value(QStringLiteral("--year")));
    const QString code = o->value(QStringLiteral("--code"));
    bool tableOk = false;
    const int table = o->value(QStringLiteral("--table")).toInt(&tableOk);
    if (year == 0)
        return usage(err, QStringLiteral("--year には調査年を指定してください"));
    if (code.size() != 5 || platform::safePathPart(code) != code)
        return usage(err, QStringLiteral("--code には 5 桁の市区町村コードを指定してください"));
    if (!tableOk || table < 1 || table > static_cast<int>(convert::smallAreaTables().size()))
        return usage(err, QStringLiteral("--table には表の番号 1〜11 を指定してください"));
    const QString folder = folderOf(code, err);
    if (folder.isEmpty())
        return 1;
    const QString output = QDir(folder).filePath(platform::safePathPart(QStringLiteral("%1_%2_statistic%3.csv").arg(year).arg(code).arg(table)));
    if (const Status written = convert::convertSmallAreaTable(o->value(QStringLiteral("--data")), output, convert::smallAreaTables().at(static_cast<size_t>(table - 1)));
        !written) {
        err << "miratos convert: " << written.error() << "\n";
        return 1;
    }
    out << code << ": 変換終了！ " << convert::smallAreaTables().at(static_cast<size_t>(table - 1)).caption << " を "
        << QDir::toNativeSeparators(output) << " に書きました\n";
    return 0;
}

} // namespace miratos::cli
