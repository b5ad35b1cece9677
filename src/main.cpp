// Start of the program: the launcher window, or one of the command-line subcommands.
#include "app/frm_menu.h"
#include "app/map_snapshot_ui.h"
#include "cli/convert_command.h"
#include "cli/demo_area_command.h"
#include "cli/help_command.h"
#include "cli/import_command.h"
#include "cli/board_command.h"
#include "cli/render_command.h"
#include "cli/snapshot_command.h"
#include "platform/app_folder.h"
#include "platform/fonts.h"
#include "platform/memory_guard.h"
#include "platform/prompts.h"
#include "platform/qt_application.h"
#include "platform/qt_prompts.h"
#include "platform/text_file.h"
#include "platform/translations.h"
#include "state/pref_folders.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <variant>

namespace {

// Saves a window's picture through a save-file, in the format of the file's suffix.
int saveSnapshot(const QImage& image, const QString& outFile)
{
    QTextStream err(stderr);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QByteArray format = QFileInfo(outFile).suffix().toLower().toLatin1();
    if (!image.save(&buffer, format.isEmpty() ? "PNG" : format.constData())) {
        err << "miratos: cannot write " << QDir::toNativeSeparators(outFile) << "\n";
        return 1;
    }
    if (const miratos::Status written = miratos::platform::writeFileAtomically(outFile, bytes); !written) {
        err << "miratos: " << written.error() << "\n";
        return 1;
    }
    return 0;
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
    return saveSnapshot(image, outFile);
}

// "snapshot FILE" shows the launcher; with --mode the map window with those map choices.
int snapshotCommand(const QStringList& args, const miratos::Status& folders)
{
    QTextStream err(stderr);
    const auto parsed = miratos::cli::parseSnapshotArgs(args);
    if (const QString* problem = std::get_if<QString>(&parsed)) {
        err << "miratos snapshot: " << *problem << "\n" << miratos::cli::snapshotUsage() << "\n";
        return 2;
    }
    const auto& options = std::get<miratos::cli::SnapshotOptions>(parsed);
    if (options.mode.isEmpty() && options.map.isEmpty())
        return snapshotLauncher(options.out);
    if (!folders) {
        err << "miratos snapshot: " << folders.error() << "\n";
        return 1;
    }
    QStringList warnings;
    const auto shot = miratos::app::snapshotMapWindow(options, warnings);
    for (const QString& w : warnings)
        err << "miratos snapshot: warning: " << QString(w).replace(QLatin1Char('\n'), QLatin1Char(' ')) << "\n";
    if (const QString* problem = std::get_if<QString>(&shot)) {
        err << "miratos snapshot: " << *problem << "\n";
        return 1;
    }
    return saveSnapshot(std::get<QImage>(shot), options.out);
}

// The first argument that is not the app folder option, or an empty one.
QByteArray firstArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--app-folder") {
            ++i;
            continue;
        }
        if (a.startsWith("--app-folder="))
            continue;
        return a;
    }
    return {};
}

// Subcommands run without a window, so they must not need a display.
bool isSubcommand(int argc, char** argv)
{
    const QByteArray a = firstArgument(argc, argv);
    return !a.isEmpty() && (!a.startsWith('-') || a == "--help" || a == "-h");
}

} // namespace

int main(int argc, char** argv)
{
    if (firstArgument(argc, argv) == "--version") {
        QTextStream(stdout) << "miratos " << MIRATOS_VERSION << "\n";
        return 0;
    }
    const bool subcommand = isSubcommand(argc, argv);
    if (subcommand && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt must not take options of ours such as "--style" for its own.
    int qtArgc = subcommand ? 1 : argc;
    miratos::platform::MiratosApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Miratos"));
    miratos::platform::installFontSubstitutes();
    if (!subcommand && !miratos::platform::installJapaneseTranslations())
        QTextStream(stderr) << "miratos: Qt's Japanese translations are missing (Debian: qt6-translations-l10n); standard dialogs speak English\n";
    QFont font(QStringLiteral("IPAPGothic"), 10);
    QApplication::setFont(font);

    QStringList args = miratos::platform::AppFolder::applyArguments(arguments);
    args.removeFirst();

    const bool isHelp = !args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"));
    if (!isHelp) {
        // An installed program lays out the user's own app folder on first start and says so once.
        miratos::platform::QtPrompts startPrompts;
        miratos::platform::setPrompts(&startPrompts);
        QTextStream err(stderr);
        const bool ready = miratos::platform::tellAppFolderStart(miratos::platform::AppFolder::prepareForStart(), !subcommand, err);
        miratos::platform::setPrompts(nullptr);
        if (!ready)
            return 1;
    }

    // Prefecture folder names that would mix two prefectures' files are refused before anything
    // reads or writes one.
    const miratos::Status folders = miratos::state::checkPrefectureFolders(miratos::platform::AppFolder::initIni());
    const bool needsFolders = args.isEmpty() || !QStringList{QStringLiteral("snapshot"), QStringLiteral("--help"), QStringLiteral("-h")}.contains(args.first());
    if (!folders && needsFolders) {
        if (!args.isEmpty()) {
            QTextStream(stderr) << "miratos: " << folders.error() << "\n";
            return 1;
        }
        miratos::platform::QtPrompts prompts;
        prompts.message(miratos::platform::MsgIcon::Critical, miratos::platform::MsgButtons::Ok, QStringLiteral("ミラトス"), folders.error());
        return 1;
    }

    if (!args.isEmpty()) {
        const QString command = args.takeFirst();
        QTextStream err(stderr);
        QTextStream out(stdout);
        if (command == QLatin1String("snapshot"))
            return snapshotCommand(args, folders);
        const auto run = [&](int (*runCommand)(const QStringList&, QTextStream&, QTextStream&)) {
            return miratos::platform::runGuardingMemory([&] { return runCommand(args, out, err); }, err);
        };
        if (command == QLatin1String("import"))
            return run(miratos::cli::runImportCommand);
        if (command == QLatin1String("convert"))
            return run(miratos::cli::runConvertCommand);
        if (command == QLatin1String("render"))
            return run(miratos::cli::runRenderCommand);
        if (command == QLatin1String("board"))
            return run(miratos::cli::runBoardCommand);
        if (command == QLatin1String("demo-area"))
            return run(miratos::cli::runDemoAreaCommand);
        if (command == QLatin1String("--help") || command == QLatin1String("-h"))
            return miratos::cli::runHelpCommand(args, out, err);
        err << "miratos: unknown command or arguments: " << command << "\n" << miratos::cli::miratosUsage();
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
