#include "cli/board_command.h"

#include "games/board_picture.h"
#include "platform/app_folder.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QBuffer>

namespace miratos::cli {

int runBoardCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const char* usage = "usage: miratos board [--app-folder DIR] --out FILE.png|.bmp";
    QString outFile;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out") && i + 1 < args.size())
            outFile = args[++i];
        else if (args[i].startsWith(QLatin1String("--out=")))
            outFile = args[i].mid(6);
        else {
            err << "miratos board: unknown argument: " << args[i] << "\n" << usage << "\n";
            return 2;
        }
    }
    const QString format = QFileInfo(outFile).suffix().toLower();
    if (outFile.isEmpty() || !QImageWriter::supportedImageFormats().contains(format.toLatin1())) {
        err << usage << "\n";
        return 2;
    }
    auto board = games::generateBoard(platform::AppFolder::mapData());
    if (!board) {
        err << "miratos board: " << board.error() << "\n";
        return 1;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!board->save(&buffer, format.toLatin1().constData())) {
        err << "miratos board: cannot write " << QDir::toNativeSeparators(outFile) << "\n";
        return 1;
    }
    if (Status written = platform::writeFileAtomically(outFile, bytes); !written) {
        err << "miratos board: " << written.error() << "\n";
        return 1;
    }
    out << "board written: " << QDir::toNativeSeparators(outFile) << "\n";
    return 0;
}

} // namespace miratos::cli
