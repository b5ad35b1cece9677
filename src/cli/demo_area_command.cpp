#include "cli/demo_area_command.h"

#include "imports/area_table.h"
#include "imports/maps_reader.h"
#include "platform/app_folder.h"
#include "platform/import_lock.h"

#include <QDir>

namespace miratos::cli {

int runDemoAreaCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "usage: miratos demo-area [--app-folder DIR] MAPS_DATABASE\n";
        return 2;
    }
    platform::ImportLock lock;
    if (!lock.acquireOrSay(err, "miratos: "))
        return 1;
    const auto topology = imports::readMapsDatabase(args.first());
    if (!topology) {
        err << "miratos: " << topology.error() << "\n";
        return 1;
    }
    const QString csv = QDir(platform::AppFolder::mapData()).filePath(QStringLiteral("demo/面積.csv"));
    const Status written = imports::writeAreaTable(*topology, csv);
    if (!written) {
        err << "miratos: " << written.error() << "\n";
        return 1;
    }
    out << QDir::toNativeSeparators(csv) << " を書きました（" << topology->municipalities.size()
        << " 都道府県）\n";
    return 0;
}

} // namespace miratos::cli
