// Saved maps naming files they may not use: a path outside the app folder (absolute, "..", a link
// leading out), a name no file can have, or a file that is gone. Each is named when the map is
// opened and the rest of the map is drawn; a file that is not a saved map at all is refused.
#include "bad_input_support.h"

#include "cli/render_command.h"

using namespace bad_input;

namespace {

// Renders a Tokyo map whose statistic (or facility table) lies at stored; the warnings when the
// map was drawn, or "not drawn: " and the error.
QString openMap(Sandbox& b, const QString& key, const QString& stored, const QString& mapText = QString())
{
    const QString text = !mapText.isEmpty() ? mapText
                                            : QStringLiteral("[miratos-map]\nversion=1\n[map]\nmode=Pref\npref.1=東京都\n"
                                                             "[statistic]\n%1=%2\ncolumn=人口(人)\n[layers]\nnames=1\n")
                                                  .arg(key, stored);
    const QString map = b.put(b.app(QStringLiteral("地図.miratos")), text.toUtf8());
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runRenderCommand({QStringLiteral("--map"), map, QStringLiteral("--out"), b.app(QStringLiteral("x.png"))}, out, err);
    err.flush();
    if (code != 0)
        return QStringLiteral("not drawn: ") + errText.trimmed();
    if (!QFileInfo::exists(b.app(QStringLiteral("x.png"))))
        return QStringLiteral("no picture");
    // The message names the path as the file holds it.
    return errText.contains(QStringLiteral("「%1」").arg(stored)) ? errText.trimmed() : QStringLiteral("path not named: ") + errText;
}

QString facilityMap(const QString& stored)
{
    return QStringLiteral("[miratos-map]\nversion=1\n[map]\nmode=Pref\npref.1=東京都\n[layers]\nfacility-csv=%1\n").arg(stored);
}

const std::vector<BadInput>& rows()
{
    static const QStringList picture = {QStringLiteral("app/x.png")};
    static const std::vector<BadInput> table = {
        {"saved_map_statistic_by_absolute_path_outside",
         [](Sandbox& b) { return openMap(b, QStringLiteral("own-data"), b.root() + QStringLiteral("/outside/keep.txt")); },
         "はアプリフォルダの外を指しているので使いません。", picture},
        {"saved_map_statistic_climbing_out_with_dot_dot",
         [](Sandbox& b) { return openMap(b, QStringLiteral("own-data"), QStringLiteral("MapData/../../outside/keep.txt")); },
         "地図ファイルのパス「MapData/../../outside/keep.txt」はアプリフォルダの外を指しているので使いません。", picture},
        {"saved_map_statistic_through_a_link_leading_out",
         [](Sandbox& b) {
             QFile::link(b.root() + QStringLiteral("/outside/keep.txt"), b.app(QStringLiteral("MapData/表.csv")));
             return openMap(b, QStringLiteral("own-data"), QStringLiteral("MapData/表.csv"));
         },
         "地図ファイルのパス「MapData/表.csv」はアプリフォルダの外を指しているので使いません。",
         {QStringLiteral("app/x.png"), QStringLiteral("app/MapData/表.csv")}},
        {"saved_map_statistic_file_gone",
         [](Sandbox& b) { return openMap(b, QStringLiteral("own-data"), QStringLiteral("MapData/人口.csv")); },
         "地図ファイルが使うファイル「MapData/人口.csv」が見つかりません。", picture},
        {"saved_map_statistic_name_with_a_drive_colon",
         [](Sandbox& b) { return openMap(b, QStringLiteral("own-data"), QStringLiteral("C:表.csv")); },
         "地図ファイルのパス「C:表.csv」には名前に使えない文字があるので使いません。", picture},
        {"saved_map_facility_table_outside",
         [](Sandbox& b) {
             return openMap(b, QString(), QStringLiteral("../outside/keep.txt"), facilityMap(QStringLiteral("../outside/keep.txt")));
         },
         "地図ファイルのパス「../outside/keep.txt」はアプリフォルダの外を指しているので使いません。", picture},
        {"saved_map_that_is_not_one",
         [](Sandbox& b) { return openMap(b, QString(), QString(), QStringLiteral("[Pref]\n13=東京都\n")); },
         "は地図ファイルではありません（先頭に [miratos-map] がありません）。"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputSavedMap);
