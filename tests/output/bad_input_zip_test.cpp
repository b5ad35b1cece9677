// Zips given to import that are broken, empty, hold nothing to import or hold a member larger
// than its kind may be: each row names the zip, changes no file that existed and writes nothing
// outside the app folder. The README's "Bad input" section lists the same rows.
#include "bad_input_support.h"

#include <QtEndian>
#include <cpl_conv.h>
#include <cpl_vsi.h>

using namespace bad_input;

namespace {

// A zip of the members (name, bytes) made in memory through GDAL's zip writer.
QByteArray zipBytes(const QList<QPair<QByteArray, QByteArray>>& members)
{
    const char* const file = "/vsimem/miratos_bad_input.zip";
    VSIUnlink(file);
    void* zip = CPLCreateZip(file, nullptr);
    for (const auto& [name, bytes] : members) {
        CPLCreateFileInZip(zip, name.constData(), nullptr);
        CPLWriteFileInZip(zip, bytes.constData(), int(bytes.size()));
        CPLCloseFileInZip(zip);
    }
    CPLCloseZip(zip);
    vsi_l_offset length = 0;
    GByte* data = VSIGetMemFileBuffer(file, &length, FALSE);
    const QByteArray out = data ? QByteArray(reinterpret_cast<const char*>(data), qsizetype(length)) : QByteArray();
    VSIUnlink(file);
    return out;
}

// The zip of one member whose headers state an unpacked size of 3 GB, as a zip bomb's do.
QByteArray bombBytes(const QByteArray& name)
{
    QByteArray zip = zipBytes({{name, QByteArray(1000, ' ')}});
    const quint32 stated = 3u * 1024 * 1024 * 1024;
    for (const auto& [signature, offset] : {std::pair{QByteArray("PK\x03\x04"), 22}, std::pair{QByteArray("PK\x01\x02"), 24}}) {
        const qsizetype at = zip.indexOf(signature);
        if (at >= 0)
            qToLittleEndian(stated, zip.data() + at + offset);
    }
    return zip;
}

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        {"CorruptZip",
         [](B& b) { return importNotes({b.in(QStringLiteral("broken.zip"), QByteArray("PK\x03\x04") + QByteArray(200, 'x'))}); },
         "broken.zip: ZIP ファイルとして読めません（壊れているか、ZIP ではありません）"},
        {"TruncatedZip",
         [](B& b) {
             const QByteArray whole = zipBytes({{"N03-20240101_13.geojson", QByteArray(5000, '{')}});
             return importNotes({b.in(QStringLiteral("cut.zip"), whole.left(whole.size() / 2))});
         },
         "cut.zip: ZIP ファイルとして読めません（壊れているか、ZIP ではありません）"},
        {"EmptyZip", [](B& b) { return importNotes({b.in(QStringLiteral("empty.zip"), zipBytes({}))}); },
         "empty.zip: ZIP の中にファイルがありません"},
        {"ZipWithNothingToImport",
         [](B& b) {
             return importNotes({b.in(QStringLiteral("docs.zip"), zipBytes({{"readme.pdf", "%PDF"}, {"index.html", "<html/>"},
                                                                            {"KS-META-N03.xml", "<meta/>"}, {"a.png", "png"}}))});
         },
         "docs.zip: ZIP の中に取り込めるファイルがありません（中身: KS-META-N03.xml, a.png, index.html ほか 1 件）"},
        {"ZipMemberOverItsKindsLimit",
         [](B& b) { return importNotes({b.in(QStringLiteral("bomb.zip"), bombBytes("tblT001082C13.txt"))}); },
         "bomb.zip の tblT001082C13.txt は 3.0 GB あり、この種類の上限 256 MB を超えるため読みません"},
        {"ZipMemberOverTheGisLimit",
         [](B& b) { return importNotes({b.in(QStringLiteral("N03.zip"), bombBytes("N03-20240101_13.geojson"))}); },
         "N03.zip の N03-20240101_13.geojson は 3.0 GB あり、この種類の上限 2.0 GB を超えるため読みません"},
        {"ZipMemberNamedOutOfItsFolder",
         [](B& b) {
             return importNotes({b.in(QStringLiteral("slip.zip"), zipBytes({{"../../../outside/keep.txt", "overwritten"}, {"readme.pdf", "%PDF"}}))});
         },
         "slip.zip: ZIP の中に取り込めるファイルがありません（中身: readme.pdf）"},
        {"FolderWithNothingToImport",
         [](B& b) {
             QDir().mkpath(b.input(QStringLiteral("docs")));
             b.in(QStringLiteral("docs/readme.pdf"), "%PDF");
             return importNotes({b.input(QStringLiteral("docs"))});
         },
         "docs: フォルダーに取り込めるファイルがありません"},
    };
    return table;
}

} // namespace

MIRATOS_BAD_INPUT_TABLE(BadInputZip);
