#pragma once
// Shared by the bad-input tables: a sandbox with an app folder and a folder beside it that
// nothing may touch, the row type, and the check every row goes through (its message, no file
// that existed before changed, nothing written outside the app folder).
#include "convert/boundary_converter.h"
#include "convert/census_workbook.h"
#include "cli/convert_command.h"
#include "convert/facility_converter.h"
#include "cli/import_command.h"
#include "imports/prefecture_set_writer.h"
#include "convert/railway_converter.h"
#include "convert/road_converter.h"
#include "convert/small_area_converter.h"
#include "imports/topojson_reader.h"
#include "platform/app_folder.h"
#include "platform/cp932.h"
#include "platform/ini_file.h"
#include "platform/spreadsheet.h"
#include "platform/text_file.h"
#include "state/district_selection.h"
#include "store/district_file.h"
#include "store/facility_files.h"
#include "store/line_file.h"
#include "store/line_geometry.h"
#include "store/news_file.h"
#include "store/point_file.h"
#include "store/polygon_file.h"
#include "store/pref_line_file.h"
#include "store/railway_files.h"
#include "store/road_files.h"
#include "store/statistic_file.h"
#include "store/tiku_file.h"
#include "xlsx_writer.h"
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <iostream>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace bad_input {

using namespace miratos;


// A root folder holding the app folder (Init.ini, MapData/東京都 with good files, 変換フォルダ)
// and, beside it, a folder with a file that nothing may touch.
class Sandbox {
public:
    Sandbox()
    {
        QDir().mkpath(app(QStringLiteral("MapData/東京都")));
        QDir().mkpath(app(QStringLiteral("MapData/鉄道")));
        QDir().mkpath(app(QStringLiteral("変換フォルダ")));
        QDir().mkpath(m_root.filePath(QStringLiteral("outside")));
        write(m_root.filePath(QStringLiteral("outside/keep.txt")), "outside\r\n");
        QStringList ini{QStringLiteral("[Pref]")};
        for (int i = 1; i <= 47; ++i)
            ini << QStringLiteral("%1=県%1").arg(i, 2, 10, QLatin1Char('0'));
        ini[13] = QStringLiteral("13=東京都");
        EXPECT_TRUE(platform::writeTextLines(app(QStringLiteral("Init.ini")), ini).ok());
        EXPECT_TRUE(store::writeNewsFile(tokyo(QStringLiteral("NEWS.dat")), {139.5, 139.9, 35.5, 35.8}).ok());
        EXPECT_TRUE(store::writeLineFile(tokyo(QStringLiteral("Line.dat")), {{QStringLiteral("13c1"), QStringLiteral("35.6 139.6 35.7 139.7")}}).ok());
        platform::AppFolder::set(app(QString()));
    }
    ~Sandbox()
    {
        for (auto it = m_cleanups.rbegin(); it != m_cleanups.rend(); ++it)
            (*it)();
        platform::AppFolder::set(QString());
    }

    QString root() const { return m_root.path(); }
    QString app(const QString& rel) const { return m_root.filePath(QStringLiteral("app/") + rel); }
    QString tokyo(const QString& name) const { return app(QStringLiteral("MapData/東京都/") + name); }
    QString input(const QString& name) const { return app(QStringLiteral("変換フォルダ/") + name); }

    static void write(const QString& path, QByteArrayView bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(file.write(bytes.data(), bytes.size()), bytes.size()) << path.toStdString();
    }
    // Writes an input of the row (not counted as written by the run).
    QString put(const QString& path, QByteArrayView bytes)
    {
        write(path, bytes);
        m_inputs.insert(QDir(root()).relativeFilePath(path));
        return path;
    }
    QString in(const QString& name, QByteArrayView bytes) { return put(input(name), bytes); }
    const QSet<QString>& inputs() const { return m_inputs; }

    void onExit(std::function<void()> f) { m_cleanups.push_back(std::move(f)); }

    // Relative path -> SHA-1 of every file under the root.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(root(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info(path);
            QByteArray mark;
            // Links, FIFOs and devices are told by what they are: reading one could hang.
            if (info.isSymLink()) {
                mark = "link:" + QFile::encodeName(info.symLinkTarget());
            } else if (!info.isFile()) {
                mark = "special";
            } else {
                QFile file(path);
                QCryptographicHash hash(QCryptographicHash::Sha1);
                if (file.open(QIODevice::ReadOnly))
                    hash.addData(&file);
                mark = hash.result();
            }
            files.insert(QDir(root()).relativeFilePath(path), mark);
        }
        return files;
    }

private:
    QTemporaryDir m_root;
    std::vector<std::function<void()>> m_cleanups;
    QSet<QString> m_inputs;
};

inline QByteArray cp932(const QStringList& lines)
{
    return platform::encodeLines(lines).value();
}

template <class R>
QString messageOf(const R& result)
{
    return result.ok() ? QString() : result.error();
}

// A whole-prefecture boundary XML pair the converter accepts, with body spliced into the data file.
inline QByteArray boundaryMeta()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ksj:Dataset><gml:boundedBy><gml:Envelope>"
                             "<gml:lowerCorner>35 139</gml:lowerCorner><gml:upperCorner>36 140</gml:upperCorner>"
                             "</gml:Envelope></gml:boundedBy></ksj:Dataset>\n");
}

inline QString runImport(const QString& file, QStringList options = {})
{
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int code = cli::runImportCommand(options << file, out, err);
    return code == 0 ? QString() : errText.trimmed();
}

// "miratos import" of files; its notes (lines starting "注意") and errors together.
inline QString importNotes(const QStringList& files)
{
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    cli::runImportCommand(files, out, err);
    out.flush();
    err.flush();
    QStringList notes;
    for (const QString& line : outText.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("注意")))
            notes << line;
    }
    return (notes + QStringList{errText.trimmed()}).join(QLatin1Char('\n')).trimmed();
}

// Makes folder unwritable even for root: a read-only bind mount when the process may mount, the
// permission bits otherwise (which bind a process that is not root). False when neither holds.
inline bool makeReadOnly(Sandbox& box, const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0) {
        box.onExit([path] { ::umount2(path.constData(), MNT_DETACH); });
        if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return false;
    } else if (::geteuid() != 0) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        box.onExit([folder] { QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner); });
    }
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

// A 64 KiB tmpfs mounted over folder (its files copied in first): a disk that fills up.
inline bool mountSmallDisk(Sandbox& box, const QString& folder)
{
    QMap<QString, QByteArray> keep;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile f(folder + QLatin1Char('/') + name);
        if (f.open(QIODevice::ReadOnly))
            keep.insert(name, f.readAll());
    }
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0)
        return false;
    box.onExit([path] { ::umount2(path.constData(), MNT_DETACH); });
    for (auto it = keep.cbegin(); it != keep.cend(); ++it)
        Sandbox::write(folder + QLatin1Char('/') + it.key(), it.value());
    return true;
}

struct BadInput {
    const char* id;
    std::function<QString(Sandbox&)> run; // writes the input, runs the reader; the message the user gets
    const char* expected;                 // part of that message; "" when the input is read without one
    QStringList mayWrite = {};            // files under app/ the run may create or replace
    const char* skipWhy = nullptr;        // set by a row that cannot set up its condition here
};

// Filled by rows that cannot prepare their condition (no mount permission).
inline thread_local const char* g_skip = nullptr;

// Runs one row in a fresh sandbox and checks its message and the files around it.
inline void checkRow(const BadInput& row)
{
    Sandbox box;
    const auto before = box.snapshot();
    g_skip = nullptr;
    const QString message = row.run(box);
    if (g_skip)
        GTEST_SKIP() << g_skip;
    if (qEnvironmentVariableIsSet("MIRATOS_PRINT_MESSAGES")) // for keeping the README's table true
        std::cout << row.id << ": " << message.toStdString() << '\n';
    if (*row.expected == '\0')
        EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    else
        EXPECT_TRUE(message.contains(QString::fromUtf8(row.expected))) << "message: " << message.toStdString();

    const auto after = box.snapshot();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (row.mayWrite.contains(it.key()) || box.inputs().contains(it.key()))
            continue;
        ASSERT_TRUE(after.contains(it.key())) << "removed: " << it.key().toStdString();
        EXPECT_EQ(after.value(it.key()), it.value()) << "changed: " << it.key().toStdString();
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (before.contains(it.key()) || box.inputs().contains(it.key()))
            continue;
        EXPECT_TRUE(row.mayWrite.contains(it.key())) << "written: " << it.key().toStdString();
    }
}

} // namespace bad_input

// The parameterised test over the rows() of the file that uses it, one test per row named by its id.
#define MIRATOS_BAD_INPUT_TABLE(Suite)                                                                  \
    class Suite : public ::testing::TestWithParam<size_t> {};                                          \
    TEST_P(Suite, GivesItsMessageChangesNoFileAndWritesNothingOutside)                                 \
    {                                                                                                  \
        ::bad_input::checkRow(rows().at(GetParam()));                                                  \
    }                                                                                                  \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, ::testing::Range<size_t>(0, rows().size()),                  \
                             [](const ::testing::TestParamInfo<size_t>& info) { return std::string(rows().at(info.param).id); })
