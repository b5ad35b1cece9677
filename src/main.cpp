// Start of the program: the launcher window, or one of the command-line subcommands.
#include "app/frm_menu.h"
#include "platform/app_folder.h"
#include "platform/fonts.h"
#include "platform/prompts.h"
#include "platform/qt_prompts.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

namespace {

void printUsage(QTextStream& out)
{
    out << "usage: miratos [--app-folder DIR]\n"
           "       miratos snapshot [--app-folder DIR] OUT.png   save a picture of the launcher\n";
}

// Renders the launcher without showing it (also works with the offscreen platform).
int snapshotLauncher(const QString& outFile)
{
    miratos::app::frmMenu menu;
    menu.adjustSize();
    menu.setAttribute(Qt::WA_DontShowOnScreen);
    menu.show();
    QApplication::processEvents();
    const QImage image = menu.grab().toImage();
    menu.close();
    QTextStream err(stderr);
    if (!image.save(outFile)) {
        err << "miratos: cannot write " << QDir::toNativeSeparators(outFile) << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Miratos"));
    miratos::platform::installFontSubstitutes();
    QFont font(QStringLiteral("IPAPGothic"), 10);
    QApplication::setFont(font);

    QStringList args = miratos::platform::AppFolder::applyArguments(QApplication::arguments());
    args.removeFirst();

    if (!args.isEmpty()) {
        const QString command = args.takeFirst();
        QTextStream err(stderr);
        if (command == QLatin1String("snapshot") && args.size() == 1)
            return snapshotLauncher(args.first());
        if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
            QTextStream out(stdout);
            printUsage(out);
            return 0;
        }
        err << "miratos: unknown command or arguments: " << command << "\n";
        printUsage(err);
        return 2;
    }

    miratos::platform::QtPrompts prompts;
    miratos::platform::setPrompts(&prompts);
    auto* menu = new miratos::app::frmMenu;
    menu->show();
    const int result = QApplication::exec();
    miratos::platform::setPrompts(nullptr);
    return result;
}
