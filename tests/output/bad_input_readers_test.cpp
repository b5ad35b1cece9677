// Hostile inputs for the readers: files that are not files (a FIFO, a device behind a link, a
// sparse file far over its kind's limit) must be refused at once without blocking, small inputs
// that would swell to gigabytes are refused before the memory is spent, and a table read in the
// wrong encoding says which one was assumed. The README's "Bad input" section lists the rows.
#include "bad_input_support.h"

#include "platform/read_limits.h"

#include <cpl_vsi.h>
#include <fcntl.h>
#include <sys/stat.h>

using namespace bad_input;

namespace {

// A FIFO with no writer: opening it for reading the ordinary way blocks for ever.
QString fifo(const QString& path)
{
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
    return path;
}

// A file of the given size that takes no disk.
QString sparse(const QString& path, qint64 size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, off_t(size)), 0);
    ::close(fd);
    return path;
}

// Runs read on a sparse file and removes it again: hashing gigabytes of zeros for the row's
// check of the files around it would take most of a minute.
template <class Read>
QString onSparse(const QString& path, qint64 size, Read read)
{
    const QString message = read(sparse(path, size));
    QFile::remove(path);
    return message;
}

QString statMessage(const QString& path, bool guess = false, QString* note = nullptr)
{
    store::StatRows table;
    int16_t cols = 0;
    int32_t rows = 0;
    return messageOf(store::appendStatisticFile(path, table, cols, rows, guess, {}, note));
}

// A workbook whose sheet or shared strings are padded with filler (300 MB of blanks by default),
// written in pieces so that the test never holds it: a few hundred kilobytes on disk.
QString swellingWorkbook(const QString& path, const char* swollenMember, const QByteArray& filler = QByteArray(1 << 20, ' '),
                         qint64 size = 300LL << 20)
{
    const QByteArray zip = "/vsizip/{" + QFile::encodeName(path) + "}/";
    auto member = [&](const char* name, const QByteArray& head, const QByteArray& tail, qint64 padding) {
        VSILFILE* f = VSIFOpenL((zip + name).constData(), "wb");
        if (!f)
            return false;
        bool ok = VSIFWriteL(head.constData(), 1, size_t(head.size()), f) == size_t(head.size());
        for (qint64 done = 0; ok && done < padding; done += filler.size())
            ok = VSIFWriteL(filler.constData(), 1, size_t(filler.size()), f) == size_t(filler.size());
        ok = ok && VSIFWriteL(tail.constData(), 1, size_t(tail.size()), f) == size_t(tail.size());
        return VSIFCloseL(f) == 0 && ok;
    };
    const QByteArray ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const qint64 big = size;
    const bool sheetSwells = std::string_view(swollenMember) == "sheet";
    bool ok = member("xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + ns + "\"><sheetData>",
                     "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row></sheetData></worksheet>", sheetSwells ? big : 0);
    ok = ok && member("xl/sharedStrings.xml", "<sst xmlns=\"" + ns + "\"><si><t>人口</t></si>", "</sst>", sheetSwells ? 0 : big);
    EXPECT_TRUE(ok);
    return path;
}

QString topoJsonWalkingOneArc(int arcPoints, int walks)
{
    QByteArray arc = "[[0,0]";
    for (int i = 1; i < arcPoints; ++i)
        arc += ",[1,1]";
    arc += "]";
    QByteArray ring = "0";
    for (int i = 1; i < walks; ++i)
        ring += ",0";
    return QStringLiteral("{\"type\":\"Topology\",\"transform\":{\"scale\":[0.0001,0.0001],\"translate\":[139,35]},"
                          "\"arcs\":[%1],\"objects\":{\"m\":{\"type\":\"Polygon\",\"arcs\":[[%2]],"
                          "\"properties\":{\"N03_007\":\"13101\"}}}}")
        .arg(QString::fromLatin1(arc), QString::fromLatin1(ring));
}

const char* const kInputFifo = "app/変換フォルダ/";

QStringList made(const char* name)
{
    return {QString::fromUtf8(kInputFifo) + QString::fromUtf8(name)};
}

const std::vector<BadInput>& rows()
{
    using B = Sandbox;
    static const std::vector<BadInput> table = {
        // Files that are not files: refused at once, never waited on.
        {"NewsFifo", [](B& b) { return messageOf(store::readNewsFile(fifo(b.input("NEWS.dat")))); },
         "NEWS.dat は通常のファイルではないため読みません", made("NEWS.dat")},
        {"StatisticFifo", [](B& b) { return statMessage(fifo(b.input("statistic1.csv"))); },
         "statistic1.csv は通常のファイルではないため読みません", made("statistic1.csv")},
        {"IniFifo",
         [](B& b) { return platform::GetINIValue(QStringLiteral("13"), QStringLiteral("Pref"), fifo(b.input("Init.ini"))); },
         "ERROR", made("Init.ini")},
        {"ImportTopoJsonFifo", [](B& b) { return runImport(fifo(b.input("n03.topojson"))); },
         "n03.topojson は通常のファイルではないため読みません", made("n03.topojson")},
        {"ImportJsonFifo", [](B& b) { return runImport(fifo(b.input("n03.json"))); },
         "n03.json は通常のファイルではないため読みません", made("n03.json")},
        {"LineDatLinkToDevZero",
         [](B& b) {
             QFile::link(QStringLiteral("/dev/zero"), b.input("Line.dat"));
             return messageOf(store::readLineGeometry(b.input("Line.dat")));
         },
         "Line.dat は通常のファイルではないため読みません", made("Line.dat")},
        {"StatisticSparseOverLimit",
         [](B& b) { return onSparse(b.input("statistic1.csv"), 3LL << 30, [](const QString& p) { return statMessage(p); }); },
         "statistic1.csv は 3.0 GB あり、この種類の上限 256 MB を超えるため読みません", made("statistic1.csv")},
        {"PolygonSparseOverLimit",
         [](B& b) {
             return onSparse(b.input("Polygon.dat"), 600LL << 20, [](const QString& p) { return messageOf(store::readPolygonFile(p)); });
         },
         "Polygon.dat は 600 MB あり、この種類の上限 512 MB を超えるため読みません", made("Polygon.dat")},
        {"XlsxSparseOverLimit",
         [](B& b) {
             return onSparse(b.input("book.xlsx"), 300LL << 20, [](const QString& p) { return messageOf(platform::Sheet::open(p)); });
         },
         "book.xlsx は 300 MB あり、この種類の上限 256 MB を超えるため読みません", made("book.xlsx")},
        // Small inputs that would swell.
        {"TopoJsonRingWalksOneArc200000Times",
         [](B& b) {
             const QString path = b.in("n03.topojson", topoJsonWalkingOneArc(20000, 200000).toUtf8());
             return messageOf(imports::readTopoJson(path));
         },
         "環がたどる点が合わせて上限の 10000000 個を超えます（弧そのものの点は 20000 個）"},
        {"XlsxSheetUnpacksTo300MB",
         [](B& b) { return messageOf(platform::Sheet::open(swellingWorkbook(b.input("big.xlsx"), "sheet"))); },
         "big.xlsx: ブックが大きすぎて読めません（xl/worksheets/sheet1.xml は展開すると 300 MB、上限は 256 MB）", made("big.xlsx")},
        {"XlsxSharedStringsUnpackTo300MB",
         [](B& b) { return messageOf(platform::Sheet::open(swellingWorkbook(b.input("big.xlsx"), "strings"))); },
         "big.xlsx: ブックが大きすぎて読めません（xl/sharedStrings.xml は展開すると 300 MB", made("big.xlsx")},
        {"XlsxSeventeenMillionCells",
         [](B& b) {
             // 17 million empty cells in 68 MB of XML: counted before the XML is built.
             QByteArray cells;
             for (int i = 0; i < 1 << 18; ++i)
                 cells += "<c/>";
             return messageOf(platform::Sheet::open(swellingWorkbook(b.input("cells.xlsx"), "sheet", cells, 17LL * 4 << 20)));
         },
         "cells.xlsx: ワークシートが大きすぎて読めません（セルが 17825793 個、上限は 16777216 個）", made("cells.xlsx")},
        {"Statistic32000Columns",
         [](B& b) {
             QByteArray header = "Code";
             QByteArray row = "13101";
             for (int i = 0; i < 32000; ++i) {
                 header += ",c";
                 row += ",1";
             }
             return statMessage(b.in("statistic1.csv", header + "\r\n" + row + "\r\n" + row + "\r\n"));
         },
         "statistic1.csv は見出しの項目が 32001 あり、上限の 4096 を超えるため読み込めません"},
        {"StatisticCellsOverLimit",
         [](B& b) {
             // 3,000 columns are allowed, but not times 10,001 lines.
             QByteArray line = "1";
             for (int i = 0; i < 3000; ++i)
                 line += ",";
             QByteArray bytes;
             for (int i = 0; i <= 10000; ++i)
                 bytes += line + "\r\n";
             return statMessage(b.in("statistic1.csv", bytes));
         },
         "statistic1.csv を合わせると表の欄が 30013001 個になり、上限の 30000000 個を超えるため読み込めません"},
        // Encodings guessed wrong.
        {"StatisticUtf8WhereCp932Expected",
         [](B& b) {
             QString note;
             const QString m = statMessage(b.in("statistic1.csv", QByteArray("コード,人口\r\n13101,66680\r\n")), false, &note);
             return m.isEmpty() ? note : m;
         },
         "statistic1.csv: CP932 として読みました。UTF-8 で保存されたファイルかもしれません"},
        {"StatisticCp932KanaTakenForUtf8",
         [](B& b) {
             // "ｺｰﾄﾞ,ﾂｱ" in CP932: the last two bytes also form "±" in UTF-8.
             QString note;
             const QString m = statMessage(b.in("own.csv", QByteArray("Code,\xC2\xB1\r\n13101,1\r\n")), true, &note);
             return m.isEmpty() ? note : m;
         },
         "own.csv: UTF-8 として読みました。CP932（シフト JIS）で保存されたファイルかもしれません"},
        {"StatisticUtf8ShortRowSaysTheEncoding",
         [](B& b) { return statMessage(b.in("statistic1.csv", QByteArray("コード,人口,世帯\r\n13101,66680\r\n"))); },
         "2 行目の項目が見出しより少ないため読み込めません（CP932 として読みました。UTF-8 で保存されたファイルかもしれません）"},
        {"StatisticCp932TextNoDoubt",
         [](B& b) {
             QString note;
             const QString m = statMessage(b.in("statistic1.csv", cp932({"コード,人口", "13101,66680"})), false, &note);
             return m.isEmpty() ? note : m;
         },
         ""},
    };
    return table;
}

MIRATOS_BAD_INPUT_TABLE(BadInputReaders);

} // namespace
