#include "cli/help_command.h"

#include "cli/convert_command.h"

namespace miratos::cli {

QString miratosUsage()
{
    QString usage = QStringLiteral(
        "usage: miratos [--app-folder DIR]\n"
        "       miratos --help    this list\n"
        "       miratos --version the version\n"
        "       miratos import [--app-folder DIR] [--snap[=DEG]] [--year YEAR] FILE...  boundaries (Shapefile, GeoJSON, GML, GeoPackage, TopoJSON, R maps database), railways, facilities, census small areas and tables into MapData\n"
        "       miratos demo-area [--app-folder DIR] BASE     area table of a maps database (MapData/demo/面積.csv)\n");
    // convert's own lines, so that a subcommand listed there is listed here as well.
    for (const QString& line : convertUsage().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QString text = line.trimmed();
        if (text.startsWith(QLatin1String("usage: ")))
            text = text.mid(7);
        usage += QStringLiteral("       ") + text + QLatin1Char('\n');
    }
    usage += QStringLiteral(
        "       miratos render [--app-folder DIR] --mode Japan|Pref|City ... --out FILE.bmp|.png|.pdf\n"
        "       miratos board [--app-folder DIR] --out FILE.png    the 国盗合戦 board made from MapData\n"
        "       miratos snapshot [--app-folder DIR] OUT.png   save a picture of the launcher\n"
        "       miratos snapshot [--app-folder DIR] --mode Japan|Pref|City [--pref NAME]... [--district FILE|NAME]... "
        "[--size WxH] --out FILE.png   save a picture of the map window\n");
    return usage;
}

int runHelpCommand(const QStringList&, QTextStream& out, QTextStream&)
{
    out << miratosUsage();
    out.flush();
    return 0;
}

} // namespace miratos::cli
