#include "cli/snapshot_command.h"

namespace miratos::cli {
namespace {
// "1600x1200"; an empty size when the text is not two whole numbers within the limits.
QSize parseSize(const QString& text)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        return {};
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW), h = parts[1].toInt(&okH);
    if (!okW || !okH || w < kSnapshotMinSide || h < kSnapshotMinSide || w > kSnapshotMaxSide || h > kSnapshotMaxSide)
        return {};
    return {w, h};
}
} // namespace

QString snapshotUsage()
{
    return QStringLiteral("usage: miratos snapshot FILE.png\n"
                          "       miratos snapshot --mode Japan|Pref|City [--pref NAME]... [--district FILE|NAME]... "
                          "[--size WxH] --out FILE.png\n"
                          "       miratos snapshot --map FILE.miratos [--size WxH] --out FILE.png");
}

std::variant<SnapshotOptions, QString> parseSnapshotArgs(const QStringList& args)
{
    SnapshotOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            if (!o.out.isEmpty())
                return QStringLiteral("one output file only: %1").arg(a);
            o.out = a;
            continue;
        }
        if (i + 1 >= args.size())
            return QStringLiteral("%1 needs a value").arg(a);
        const QString v = args.at(++i);
        if (a == QLatin1String("--mode"))
            o.mode = v;
        else if (a == QLatin1String("--pref"))
            o.prefs << v;
        else if (a == QLatin1String("--district"))
            o.districts << v;
        else if (a == QLatin1String("--map"))
            o.map = v;
        else if (a == QLatin1String("--out")) {
            if (!o.out.isEmpty())
                return QStringLiteral("one output file only: %1").arg(v);
            o.out = v;
        } else if (a == QLatin1String("--size")) {
            o.size = parseSize(v);
            if (o.size.isEmpty())
                return QStringLiteral("--size must be WxH, each side %1..%2 pixels, for example 1600x1200")
                    .arg(kSnapshotMinSide)
                    .arg(kSnapshotMaxSide);
        } else {
            return QStringLiteral("unknown option %1").arg(a);
        }
    }
    if (o.out.isEmpty())
        return QStringLiteral("an output file is required");
    const bool mapChoices = !o.prefs.isEmpty() || !o.districts.isEmpty() || !o.size.isEmpty();
    if (o.mode.isEmpty() && o.map.isEmpty() && mapChoices)
        return QStringLiteral("--pref, --district and --size need --mode or --map");
    if (!o.mode.isEmpty() && o.mode != QLatin1String("Japan") && o.mode != QLatin1String("Pref") && o.mode != QLatin1String("City"))
        return QStringLiteral("--mode must be Japan, Pref or City");
    return o;
}

} // namespace miratos::cli
