#include "cli/census_command.h"

#include "convert/census_workbook.h"
#include "imports/prefecture_set_writer.h"
#include "platform/app_folder.h"
#include "platform/path_part.h"
#include "state/prefectures.h"

#include <QDir>
#include <QFileInfo>

namespace miratos::cli {

int runCensusCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString pref;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--pref") && i + 1 < args.size() && pref.isEmpty())
            pref = args.at(++i);
        else
            files << args.at(i);
    }
    bool codeOk = false;
    const int code = pref.toInt(&codeOk);
    if (files.isEmpty() || (!pref.isEmpty() && (!codeOk || code < 1 || code > state::kPrefectureCount))) {
        err << "usage: miratos convert census [--app-folder DIR] [--pref CODE] WORKBOOK...\n"
               "       with --pref (1..47) the prefecture edition (12a001, 12a003, 17a001, 17a002, 17a003) into the\n"
               "       prefecture's folder, without it the nationwide edition (17a001, 17a002) into MapData.\n";
        return 2;
    }
    const bool prefEdition = !pref.isEmpty();
    QString folder = platform::AppFolder::mapData();
    QString shownName = QStringLiteral("全国");
    if (prefEdition) {
        shownName = imports::prefectureFolderName(code, platform::AppFolder::initIni());
        folder = QDir(folder).filePath(platform::safePathPart(shownName));
    }
    if (!QDir(folder).exists()) {
        err << "miratos convert: " << QDir::toNativeSeparators(folder) << ": フォルダがありません\n";
        return 1;
    }
    int result = 0;
    for (const QString& file : files) {
        const convert::CensusWorkbook* table = convert::censusWorkbookFor(prefEdition, QFileInfo(file).fileName());
        if (!table) {
            err << "miratos convert: " << QDir::toNativeSeparators(file) << ": 名前から表がわかりません（"
                << (prefEdition ? "12a001, 12a003, 17a001, 17a002, 17a003" : "17a001, 17a002") << " の .xls か .xlsx）\n";
            result = 1;
            continue;
        }
        const QString output = QDir(folder).filePath(table->output);
        if (Status done = convert::convertCensusWorkbook(file, output, *table); !done) {
            err << "miratos convert: " << done.error() << "\n";
            result = 1;
            continue;
        }
        out << shownName << ": " << QFileInfo(file).fileName() << " -> " << QDir::toNativeSeparators(output) << "\n";
    }
    if (result == 0)
        out << "変換終了！\n";
    out.flush();
    err.flush();
    return result;
}

} // namespace miratos::cli
