#include "imports/zip_input.h"

#include "platform/path_part.h"
#include "platform/read_limits.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <algorithm>

namespace miratos::imports {
namespace {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// GIS suffixes by preference, lowest first; see chooseFormats.
int gisRank(const QString& suffix)
{
    static const QStringList kOrder{QStringLiteral("geojson"), QStringLiteral("json"), QStringLiteral("topojson"), QStringLiteral("shp"),
                                    QStringLiteral("gpkg"),    QStringLiteral("gml"),  QStringLiteral("xml")};
    return int(kOrder.indexOf(suffix));
}

bool isTableSuffix(const QString& suffix)
{
    static const QStringList kTables{QStringLiteral("csv"), QStringLiteral("txt"), QStringLiteral("xlsx"), QStringLiteral("xls")};
    return kTables.contains(suffix);
}

// The files a Shapefile's reader opens beside the .shp.
bool isShapefilePart(const QString& suffix)
{
    static const QStringList kParts{QStringLiteral("dbf"), QStringLiteral("shx"), QStringLiteral("prj"), QStringLiteral("cpg")};
    return kParts.contains(suffix);
}

// A name import reads, found in a zip or a folder. The government's zips hold metadata beside the
// data (KS-META-….xml), which is no map.
bool isInputName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (fileName.startsWith(QLatin1String("KS-META"), Qt::CaseInsensitive))
        return false;
    return gisRank(suffix) >= 0 || isTableSuffix(suffix);
}

// The files taken of names, each with the note of the formats passed over.
QStringList chosenWithNotes(const QString& container, const QStringList& names, QStringList* notes)
{
    const FormatChoice choice = chooseFormats(names);
    QStringList out;
    for (qsizetype i : choice.chosen) {
        out << names.at(i);
        if (const auto skipped = choice.skippedSuffixes.constFind(i); skipped != choice.skippedSuffixes.cend())
            *notes << QStringLiteral("%1: %2 を取り込みます（同じデータの %3 は飛ばしました）")
                          .arg(container, QFileInfo(names.at(i)).fileName(), skipped->join(QStringLiteral("・")));
    }
    return out;
}

// The largest total that the copies of one zip may take on disk.
constexpr qint64 kCopiedLimit = qint64(4) * 1024 * 1024 * 1024;

// Member names of zips without the UTF-8 flag are taken as CP932, as Japanese Windows writes them.
struct Cp932MemberNames {
    Cp932MemberNames() { CPLSetThreadLocalConfigOption("CPL_ZIP_ENCODING", "CP932"); }
    ~Cp932MemberNames() { CPLSetThreadLocalConfigOption("CPL_ZIP_ENCODING", nullptr); }
};

struct QuietGdal {
    QuietGdal() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdal() { CPLPopErrorHandler(); }
};

class ZipReader {
public:
    explicit ZipReader(const QString& zipPath)
        : m_zip(zipPath), m_shown(shownPath(zipPath)),
          m_root("/vsizip/{" + QFile::encodeName(QFileInfo(zipPath).absoluteFilePath()) + "}")
    {
    }

    // The member files (not folders), as relative paths with "/".
    Result<QStringList> members() const
    {
        char** list = VSIReadDirRecursive(m_root.constData());
        if (!list) {
            // A zip without members is its end record alone, which GDAL does not open.
            QFile file;
            if (platform::openForReading(file, m_zip) && file.read(4) == QByteArrayLiteral("PK\x05\x06"))
                return QStringList{};
            return Error{QStringLiteral("%1: ZIP ファイルとして読めません（壊れているか、ZIP ではありません）").arg(m_shown)};
        }
        QStringList names;
        for (char** p = list; *p; ++p) {
            const QString name = QString::fromUtf8(*p);
            VSIStatBufL st;
            if (!name.endsWith(u'/') && VSIStatL(memberPath(name).constData(), &st) == 0 && !VSI_ISDIR(st.st_mode))
                names << name;
        }
        CSLDestroy(list);
        names.sort();
        return names;
    }

    // Copies member into folder under a sanitised name; the copy's path.
    Result<QString> copy(const QString& member, const QString& folder, qint64* copiedTotal) const
    {
        const QByteArray source = memberPath(member);
        const QString name = QFileInfo(member).fileName();
        QString safe = platform::safePathPart(name);
        if (safe.isEmpty() || safe.startsWith(u'.'))
            safe = QStringLiteral("member") + (QFileInfo(name).suffix().isEmpty() ? QString() : u'.' + QFileInfo(name).suffix());
        const qint64 kindLimit = platform::readLimitFor(name);
        const qint64 limit = std::min(kindLimit, kCopiedLimit - *copiedTotal);
        VSIStatBufL st;
        if (VSIStatL(source.constData(), &st) != 0)
            return Error{unreadable(member)};
        if (qint64(st.st_size) > kindLimit)
            return Error{tooLarge(member, qint64(st.st_size), kindLimit)};
        if (qint64(st.st_size) > limit)
            return Error{tooMuch()};
        VSILFILE* in = VSIFOpenL(source.constData(), "rb");
        if (!in)
            return Error{unreadable(member)};
        const QString target = QDir(folder).filePath(safe);
        // A scratch copy in the private temporary folder, not a file of the user's: it is
        // written in place and removed with the folder.
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            VSIFCloseL(in);
            return Error{QStringLiteral("%1 の %2 を一時フォルダーに書けません: %3").arg(m_shown, member, out.errorString())};
        }
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 copied = 0;
        bool failed = false;
        for (;;) {
            const size_t n = VSIFReadL(buffer.data(), 1, size_t(buffer.size()), in);
            copied += qint64(n);
            if (copied > limit || (n > 0 && out.write(buffer.constData(), qint64(n)) != qint64(n))) {
                failed = true;
                break;
            }
            if (n < size_t(buffer.size()))
                break;
        }
        VSIFCloseL(in);
        out.close();
        if (copied > limit) // the size the zip states was a lie
            return Error{copied > kindLimit ? tooLarge(member, copied, kindLimit) : tooMuch()};
        if (failed || out.error() != QFileDevice::NoError)
            return Error{QStringLiteral("%1 の %2 を一時フォルダーに書けません: %3").arg(m_shown, member, out.errorString())};
        if (copied != qint64(st.st_size))
            return Error{unreadable(member)};
        *copiedTotal += copied;
        return target;
    }

    const QString& shown() const { return m_shown; }

private:
    QByteArray memberPath(const QString& member) const { return m_root + "/" + member.toUtf8(); }

    QString unreadable(const QString& member) const
    {
        return QStringLiteral("%1 の %2 を読めません（壊れています）").arg(m_shown, member);
    }

    QString tooLarge(const QString& member, qint64 size, qint64 limit) const
    {
        return QStringLiteral("%1 の %2 は %3 あり、この種類の上限 %4 を超えるため読みません")
            .arg(m_shown, member, platform::sizeText(size), platform::sizeText(limit));
    }

    QString tooMuch() const
    {
        return QStringLiteral("%1: 取り込むファイルを展開すると合わせて上限の %2 を超えるため読みません").arg(m_shown, platform::sizeText(kCopiedLimit));
    }

    QString m_zip;
    QString m_shown;
    QByteArray m_root;
};

QString listed(const QStringList& names)
{
    constexpr qsizetype kShown = 3;
    QString text = names.mid(0, kShown).join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += QStringLiteral(" ほか %1 件").arg(names.size() - kShown);
    return text;
}

void append(ExpandedInputs& to, ExpandedInputs&& from)
{
    to.paths << from.paths;
    to.notes << from.notes;
    to.errors << from.errors;
    to.copies.insert(to.copies.end(), from.copies.begin(), from.copies.end());
    to.shownFolders.insert(from.shownFolders);
}

ExpandedInputs walkFolder(const QString& folder);

} // namespace

FormatChoice chooseFormats(const QStringList& names)
{
    FormatChoice choice;
    QHash<QString, qsizetype> best; // group key -> index of the best name so far
    std::vector<QString> keyOf(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QFileInfo info(names.at(i));
        const int rank = gisRank(info.suffix().toLower());
        if (rank < 0)
            continue;
        const QString key = info.completeBaseName().toLower();
        keyOf[size_t(i)] = key;
        const auto found = best.find(key);
        if (found == best.end())
            best.insert(key, i);
        else if (rank < gisRank(QFileInfo(names.at(*found)).suffix().toLower()))
            *found = i;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& key = keyOf[size_t(i)];
        if (key.isEmpty()) {
            if (gisRank(QFileInfo(names.at(i)).suffix().toLower()) < 0)
                choice.chosen.push_back(i);
            continue;
        }
        const qsizetype winner = best.value(key);
        if (winner == i)
            choice.chosen.push_back(i);
        else
            choice.skippedSuffixes[winner] << u'.' + QFileInfo(names.at(i)).suffix().toLower();
    }
    std::sort(choice.chosen.begin(), choice.chosen.end());
    return choice;
}

QString ExpandedInputs::shown(const QString& message) const
{
    QString text = message;
    for (auto it = shownFolders.cbegin(); it != shownFolders.cend(); ++it)
        text.replace(it.key(), it.value());
    return text;
}

Result<ZipListing> zipListing(const QString& zipPath)
{
    if (Status readable = platform::checkReadable(zipPath); !readable)
        return Error{readable.error()};
    if (!QFileInfo::exists(zipPath))
        return Error{QStringLiteral("%1 を読めません（ファイルがありません）").arg(shownPath(zipPath))};
    const Cp932MemberNames cp932;
    const QuietGdal quiet;
    const ZipReader zip(zipPath);
    auto members = zip.members();
    if (!members)
        return Error{members.error()};
    if (members->isEmpty())
        return Error{QStringLiteral("%1: ZIP の中にファイルがありません").arg(zip.shown())};
    ZipListing listing;
    for (const QString& m : *members) {
        if (isInputName(QFileInfo(m).fileName()))
            listing.inputs << m;
    }
    listing.inputs = chosenWithNotes(zip.shown(), listing.inputs, &listing.notes);
    if (listing.inputs.isEmpty())
        return Error{QStringLiteral("%1: ZIP の中に取り込めるファイルがありません（中身: %2）").arg(zip.shown(), listed(*members))};
    listing.members = std::move(*members);
    return listing;
}

Result<ExpandedInputs> zipInputs(const QString& zipPath)
{
    auto listing = zipListing(zipPath);
    if (!listing)
        return Error{listing.error()};
    const QStringList& inputs = listing->inputs;
    const QStringList& members = listing->members;
    const Cp932MemberNames cp932;
    const QuietGdal quiet;
    const ZipReader zip(zipPath);
    ExpandedInputs out;
    out.notes = listing->notes;

    auto dir = std::make_shared<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("miratos-zip-XXXXXX")));
    if (!dir->isValid())
        return Error{QStringLiteral("%1: 一時フォルダーを作れません（%2）").arg(zip.shown(), dir->errorString())};
    out.copies.push_back(dir);
    qint64 copied = 0;
    for (qsizetype k = 0; k < inputs.size(); ++k) {
        const QString& member = inputs.at(k);
        // Each input in a folder of its own, with the files its reader opens beside it.
        const QString folder = dir->filePath(QString::number(k));
        if (!QDir().mkpath(folder))
            return Error{QStringLiteral("%1: 一時フォルダーを作れません").arg(zip.shown())};
        const QFileInfo info(member);
        QStringList parts{member};
        if (info.suffix().toLower() == QLatin1String("shp")) {
            const QString stem = info.path() == QLatin1String(".") ? info.completeBaseName() : info.path() + u'/' + info.completeBaseName();
            for (const QString& m : members) {
                const QFileInfo other(m);
                if (m.section(u'.', 0, -2).compare(stem, Qt::CaseInsensitive) == 0 && isShapefilePart(other.suffix().toLower()))
                    parts << m;
            }
        }
        QString copyOfMember;
        for (const QString& part : parts) {
            const auto copy = zip.copy(part, folder, &copied);
            if (!copy)
                return Error{copy.error()};
            if (copyOfMember.isEmpty())
                copyOfMember = *copy;
        }
        out.paths << copyOfMember;
        const QString memberDir = info.path() == QLatin1String(".") ? QString() : info.path() + u'/';
        out.shownFolders.insert(shownPath(folder + u'/'), zip.shown() + QStringLiteral(" の ") + memberDir);
    }
    return out;
}

namespace {

ExpandedInputs walkFolder(const QString& folder)
{
    ExpandedInputs out;
    QStringList files;
    QStringList zips;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QFileInfo(path).fileName();
        if (QFileInfo(path).suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0)
            zips << path;
        else if (isInputName(name))
            files << path;
    }
    files.sort();
    zips.sort();
    out.paths = chosenWithNotes(shownPath(folder), files, &out.notes);
    for (const QString& zip : zips) {
        auto members = zipInputs(zip);
        if (members)
            append(out, std::move(*members));
        else
            out.errors << members.error();
    }
    if (out.paths.isEmpty() && out.errors.isEmpty())
        out.errors << QStringLiteral("%1: フォルダーに取り込めるファイルがありません").arg(shownPath(folder));
    return out;
}

} // namespace

ExpandedInputs expandInputs(const QStringList& paths)
{
    ExpandedInputs out;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            append(out, walkFolder(path));
        } else if (info.suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) == 0) {
            auto members = zipInputs(path);
            if (members)
                append(out, std::move(*members));
            else
                out.errors << members.error();
        } else {
            out.paths << path;
        }
    }
    return out;
}

} // namespace miratos::imports
