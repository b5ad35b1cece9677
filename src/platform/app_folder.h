#pragma once
// The app folder holds Init.ini, MapData/ and 変換フォルダ/ and receives reports. It is the
// executable's folder (or its app/ subfolder, where the set-up lays out a build's data) unless
// "--app-folder DIR" names another one. An installed program, whose folder is not the user's to
// write, uses a per-user folder laid out from the installed shared data on first start.
#include "platform/result.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace miratos::platform {

class AppFolder {
public:
    // The folder in use (absolute, without trailing separator).
    static QString root();
    // The default for a program in exeFolder: that folder when it holds Init.ini, else its app/
    // subfolder when that one does, else the per-user folder when the program is installed
    // (shared data beside it) or its folder is not writable, else the folder itself.
    static QString defaultFor(const QString& exeFolder);
    // $XDG_DATA_HOME/miratos, or ~/.local/share/miratos when that is unset or not absolute.
    static QString userFolder();
    // The installed shared data of a program in exeFolder (bin/../share/miratos) when it holds
    // Init.ini, else an empty string.
    static QString sharedDataFor(const QString& exeFolder);
    // Creates folder with MapData/ and 変換フォルダ/ and copies the shipped files of sharedData
    // (Init.ini, MapData/*) that are missing; files already there are the user's and stay.
    // True when the folder itself was new.
    static Result<bool> layOut(const QString& folder, const QString& sharedData);
    // At start: lays out the per-user folder when it is the one in use. Returns the note to give
    // the user once, when the folder was created now, else an empty string.
    static Result<QString> prepareForStart();
    // Overrides the folder (command line, tests). An empty path returns to the default.
    static void set(const QString& folder);

    // Builds a path below the app folder from a path written with "\" separators
    // ("\MapData\SelectCity.txt"), using the platform separator.
    static QString path(const QString& backslashPath);

    static QString initIni() { return path(QStringLiteral("\\Init.ini")); }
    static QString mapData() { return path(QStringLiteral("\\MapData")); }
    static QString convertFolder() { return path(QStringLiteral("\\変換フォルダ")); }
    // \MapData\公共施設.ini: the facility symbols.
    static QString buildSymbolFile() { return path(QStringLiteral("\\MapData\\公共施設.ini")); }
    // \MapData\ + prefecture name + \ (with a trailing separator, as the loaders join file names).
    // The name goes through safePathPart: a prefecture name from Init.ini never leads out of
    // MapData.
    static QString prefFolder(const QString& prefName);

    // Reads "--app-folder DIR" (or "--app-folder=DIR") from program arguments and applies it;
    // returns the arguments without it.
    static QStringList applyArguments(const QStringList& arguments);
};

// Tells what AppFolder::prepareForStart() gave: nothing, the first-start note, or the error; a line
// on err for a command, a message box through the prompts for the window. False on the error.
bool tellAppFolderStart(const Result<QString>& note, bool window, QTextStream& err);

} // namespace miratos::platform
