#include "platform/spreadsheet.h"

#include "platform/number_text.h"
#include "platform/read_limits.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <freexl.h>
#include <pugixml.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace miratos::platform {
namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// ---- .xls through FreeXL
//
// FreeXL reads past its buffers on some malformed workbooks (found by fuzzing), so on Unix it runs
// in a child process that sends the cells back through a pipe: a workbook that breaks it is
// refused with a message instead of taking the program down.

enum XlsOutcome : int { XlsOk = 0, XlsUnreadable = 10, XlsNoSheet = 11 };

// Reads worksheet number sheet (1 the first) and hands every cell to cell(row, column, number or text).
template <class Cell>
int readXlsCells(const char* path, int sheet, Cell cell)
{
    const void* handle = nullptr;
    if (freexl_open(path, &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        return XlsUnreadable;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (sheet < 1 || sheet > 65535
        || freexl_select_active_worksheet(handle, static_cast<unsigned short>(sheet - 1)) != FREEXL_OK
        || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
        freexl_close(handle);
        return XlsNoSheet;
    }
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                continue;
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell(r + 1, c + 1, double(value.value.int_value), nullptr);
                break;
            case FREEXL_CELL_DOUBLE:
                cell(r + 1, c + 1, value.value.double_value, nullptr);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (value.value.text_value)
                    cell(r + 1, c + 1, 0.0, value.value.text_value);
                break;
            default:
                break;
            }
        }
    }
    freexl_close(handle);
    return XlsOk;
}

Result<Sheet> xlsOutcome(int outcome, Sheet&& sheet, const QString& path, int number)
{
    switch (outcome) {
    case XlsOk:
        return std::move(sheet);
    case XlsNoSheet:
        return Error{number == 1 ? QStringLiteral("%1: 最初のワークシートが読めません").arg(shown(path))
                                 : QStringLiteral("%1: %2 枚目のワークシートが読めません").arg(shown(path)).arg(number)};
    default:
        return Error{QStringLiteral("%1: Excel のブック（.xls）として読めません").arg(shown(path))};
    }
}

#ifdef Q_OS_UNIX
} // namespace
} // namespace miratos::platform
// Present only in builds with a sanitizer.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));
namespace miratos::platform {
namespace {

// One cell on the pipe: row (4 bytes), column (4), kind (1: 'n' number, 't' text), then the
// number (8) or the text's length (4) and its UTF-8 bytes.
void putBytes(std::string& out, const void* p, size_t n)
{
    out.append(static_cast<const char*>(p), n);
}

bool writeAllTo(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

Result<Sheet> openXls(const QString& path, int number)
{
    const QByteArray native = QFile::encodeName(path);
    int fds[2];
    if (::pipe(fds) != 0)
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno)))};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return Error{QStringLiteral("%1: 読めません（%2）").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno)))};
    }
    if (child == 0) {
        // The child dies by its signal when FreeXL breaks, and only the parent reports it: no
        // crash handler of the parent's (a sanitizer's death callback included) runs here.
        for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
            ::signal(sig, SIG_DFL);
        if (__sanitizer_set_death_callback)
            __sanitizer_set_death_callback(nullptr);
        ::close(fds[0]);
        std::string chunk;
        bool ok = true;
        const int outcome = readXlsCells(native.constData(), number, [&](unsigned row, unsigned column, double number, const char* text) {
            putBytes(chunk, &row, 4);
            putBytes(chunk, &column, 4);
            if (text) {
                const uint32_t length = uint32_t(std::strlen(text));
                chunk += 't';
                putBytes(chunk, &length, 4);
                chunk.append(text, length);
            } else {
                chunk += 'n';
                putBytes(chunk, &number, 8);
            }
            if (chunk.size() >= 65536) {
                ok = ok && writeAllTo(fds[1], chunk);
                chunk.clear();
            }
        });
        ok = ok && writeAllTo(fds[1], chunk);
        ::close(fds[1]);
        ::_exit(ok ? outcome : XlsUnreadable); // no exit handlers: they belong to the parent
    }
    ::close(fds[1]);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status))
        return Error{QStringLiteral("%1: Excel のブック（.xls）として読めません（壊れています）").arg(shown(path))};
    Sheet sheet(65536);
    const int outcome = WEXITSTATUS(status);
    qsizetype at = 0;
    auto take = [&](void* p, qsizetype n) {
        if (at + n > bytes.size())
            return false;
        std::memcpy(p, bytes.constData() + at, size_t(n));
        at += n;
        return true;
    };
    while (outcome == XlsOk && at < bytes.size()) {
        uint32_t row = 0, column = 0;
        char kind = 0;
        if (!take(&row, 4) || !take(&column, 4) || !take(&kind, 1))
            return Error{QStringLiteral("%1: Excel のブック（.xls）として読めません").arg(shown(path))};
        if (kind == 't') {
            uint32_t length = 0;
            if (!take(&length, 4) || at + qsizetype(length) > bytes.size())
                return Error{QStringLiteral("%1: Excel のブック（.xls）として読めません").arg(shown(path))};
            sheet.setText(int(row), int(column), QString::fromUtf8(bytes.constData() + at, qsizetype(length)));
            at += qsizetype(length);
        } else {
            double number = 0;
            if (!take(&number, 8))
                return Error{QStringLiteral("%1: Excel のブック（.xls）として読めません").arg(shown(path))};
            sheet.setNumber(int(row), int(column), number);
        }
    }
    return xlsOutcome(outcome, std::move(sheet), path, number);
}
#else
Result<Sheet> openXls(const QString& path, int number)
{
    Sheet sheet(65536);
    const int outcome = readXlsCells(QFile::encodeName(path).constData(), number, [&](unsigned row, unsigned column, double number, const char* text) {
        if (text)
            sheet.setText(int(row), int(column), QString::fromUtf8(text));
        else
            sheet.setNumber(int(row), int(column), number);
    });
    return xlsOutcome(outcome, std::move(sheet), path, number);
}
#endif

// ---- .xlsx: the zip members through GDAL's /vsizip/, their XML through pugixml

// What a member of the workbook may unpack to: a sheet of the whole country's small areas stays
// well below it, and a few kilobytes of zipped repetition cannot ask for gigabytes.
constexpr qint64 kXlsxMemberBytes = 256LL * 1024 * 1024;

Error workbookTooLarge(const QString& path, const QString& member, qint64 size)
{
    return Error{QStringLiteral("%1: ブックが大きすぎて読めません（%2 は展開すると %3、上限は %4）")
                     .arg(shown(path), member, sizeText(size), sizeText(kXlsxMemberBytes))};
}

// A member of the zip, unpacked; nullopt when missing. Its unpacked size is looked at before
// anything is inflated, and inflating stops at the limit should the zip's own figure lie.
Result<std::optional<QByteArray>> zipMember(const QString& path, const QString& member)
{
    const QByteArray name = "/vsizip/{" + QFile::encodeName(QFileInfo(path).absoluteFilePath()) + "}/" + member.toUtf8();
    // A missing member is an answer here, not something for GDAL to print.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    VSIStatBufL stat;
    const bool exists = VSIStatL(name.constData(), &stat) == 0;
    if (exists && qint64(stat.st_size) > kXlsxMemberBytes) {
        CPLPopErrorHandler();
        return workbookTooLarge(path, member, qint64(stat.st_size));
    }
    GByte* data = nullptr;
    vsi_l_offset size = 0;
    const bool read = exists && VSIIngestFile(nullptr, name.constData(), &data, &size, kXlsxMemberBytes);
    CPLPopErrorHandler();
    if (!read)
        return std::optional<QByteArray>();
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    VSIFree(data);
    return std::optional<QByteArray>(std::move(bytes));
}

// Text of a shared or inline string: its <t> and the <t> of its runs <r>; the phonetic runs
// <rPh> (furigana) are left out.
QString stringItemText(const pugi::xml_node& item)
{
    QString text;
    for (const pugi::xml_node& child : item.children()) {
        const std::string_view name = child.name();
        if (name == "t")
            text += QString::fromUtf8(child.text().get());
        else if (name == "r")
            text += QString::fromUtf8(child.child("t").text().get());
    }
    return text;
}

// The largest sheet the format has: XFD1048576.
constexpr int kXlsxRows = 1048576;
constexpr int kXlsxColumns = 16384;
// Cells the sheet may hold in place, 800 MB: a few kilobytes of zipped rows that each reach
// column XFD would otherwise ask for hundreds of gigabytes.
constexpr qint64 kXlsxCellSlots = qint64(1) << 24;

// "AB12" -> row 12, column 28; false beyond XFD1048576, so that a hostile reference can neither
// overflow nor make the sheet grow without end.
bool parseReference(std::string_view ref, int* row, int* column)
{
    int c = 0, r = 0;
    size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        c = c * 26 + (ref[i] - 'A' + 1);
        if (c > kXlsxColumns)
            return false;
    }
    for (; i < ref.size() && ref[i] >= '0' && ref[i] <= '9'; ++i) {
        r = r * 10 + (ref[i] - '0');
        if (r > kXlsxRows)
            return false;
    }
    if (c == 0 || r == 0 || i != ref.size())
        return false;
    *row = r;
    *column = c;
    return true;
}

// The worksheet part of sheet number (1 the first) in the workbook: workbook.xml names the
// sheets in order, its relationships tell which part each one is. Empty when there is no such
// sheet.
QString sheetPart(const QString& path, int number)
{
    const auto workbookMember = zipMember(path, QStringLiteral("xl/workbook.xml"));
    const auto relsMember = zipMember(path, QStringLiteral("xl/_rels/workbook.xml.rels"));
    const QString fallback = QStringLiteral("xl/worksheets/sheet%1.xml").arg(number);
    if (!workbookMember || !relsMember || !*workbookMember || !*relsMember)
        return fallback;
    const QByteArray* workbook = &**workbookMember;
    const QByteArray* rels = &**relsMember;
    pugi::xml_document wb, rl;
    if (!wb.load_buffer(workbook->constData(), workbook->size()) || !rl.load_buffer(rels->constData(), rels->size()))
        return fallback;
    pugi::xml_node sheet = wb.child("workbook").child("sheets").child("sheet");
    for (int i = 1; i < number && sheet; ++i)
        sheet = sheet.next_sibling("sheet");
    if (!sheet)
        return {};
    const char* id = sheet.attribute("r:id").value();
    for (const pugi::xml_node& rel : rl.child("Relationships").children("Relationship")) {
        if (std::string_view(rel.attribute("Id").value()) != id)
            continue;
        QString target = QString::fromUtf8(rel.attribute("Target").value());
        if (target.startsWith(QLatin1Char('/')))
            return target.mid(1);
        return QStringLiteral("xl/") + target;
    }
    return fallback;
}

// Calls cell(row, column, <c>) for every cell of <sheetData> inside XFD1048576; a row or cell
// without a reference follows the one before it.
template <class Cell>
void forEachXlsxCell(const pugi::xml_node& sheetData, Cell cell)
{
    int rowNumber = 0;
    for (const pugi::xml_node& row : sheetData.children("row")) {
        rowNumber = row.attribute("r").as_int(rowNumber + 1);
        if (rowNumber < 1 || rowNumber > kXlsxRows)
            continue; // a row beyond the sheet is left out
        int columnNumber = 0;
        for (const pugi::xml_node& c : row.children("c")) {
            int r = rowNumber, col = columnNumber + 1;
            if (const pugi::xml_attribute ref = c.attribute("r"); ref && !parseReference(ref.value(), &r, &col))
                continue; // a cell beyond the sheet is left out
            if (col > kXlsxColumns)
                break;
            columnNumber = col;
            cell(r, col, c);
        }
    }
}

// The row (and its last column) where the cells the sheet holds in place would pass
// kXlsxCellSlots; {0, 0} when they never do.
std::pair<int, int> rowBeyondCellLimit(const pugi::xml_node& sheetData)
{
    std::vector<int> rowWidths;
    qint64 heldCells = 0;
    std::pair<int, int> beyond{0, 0};
    forEachXlsxCell(sheetData, [&](int r, int col, const pugi::xml_node&) {
        if (beyond.first)
            return;
        if (r > static_cast<int>(rowWidths.size()))
            rowWidths.resize(static_cast<size_t>(r));
        int& width = rowWidths[static_cast<size_t>(r - 1)];
        if (col <= width)
            return;
        heldCells += col - width;
        width = col;
        if (heldCells > kXlsxCellSlots)
            beyond = {r, col};
    });
    return beyond;
}

Result<Sheet> openXlsx(const QString& path, int number)
{
    if (!QFileInfo::exists(path))
        return Error{QStringLiteral("%1: ファイルがありません").arg(shown(path))};
    const QString part = number < 1 ? QString() : sheetPart(path, number);
    if (part.isEmpty())
        return Error{QStringLiteral("%1: %2 枚目のワークシートがありません").arg(shown(path)).arg(number)};
    const auto sheetMember = zipMember(path, part);
    if (!sheetMember)
        return Error{sheetMember.error()};
    if (!*sheetMember)
        return Error{QStringLiteral("%1: Excel のブック（.xlsx）として読めません").arg(shown(path))};
    const QByteArray* sheetXml = &**sheetMember;
    if (const qint64 cells = sheetXml->count("<c"); cells > kXlsxCellSlots)
        return Error{QStringLiteral("%1: ワークシートが大きすぎて読めません（セルが %2 個、上限は %3 個）").arg(shown(path)).arg(cells).arg(kXlsxCellSlots)};
    QStringList shared;
    const auto sharedMember = zipMember(path, QStringLiteral("xl/sharedStrings.xml"));
    if (!sharedMember)
        return Error{sharedMember.error()};
    if (const auto& strings = *sharedMember) {
        pugi::xml_document doc;
        if (doc.load_buffer(strings->constData(), strings->size())) {
            for (const pugi::xml_node& si : doc.child("sst").children("si"))
                shared << stringItemText(si);
        }
    }
    pugi::xml_document doc;
    if (!doc.load_buffer(sheetXml->constData(), sheetXml->size()))
        return Error{QStringLiteral("%1: ワークシート %2 が XML として読めません").arg(shown(path), part)};
    const pugi::xml_node sheetData = doc.child("worksheet").child("sheetData");
    // The size first, so that a sheet too large is refused before it is built.
    if (const auto [row, column] = rowBeyondCellLimit(sheetData); row > 0)
        return Error{QStringLiteral("%1: ワークシートが大きすぎて読めません（%2 行目まで、%3 列目まで）").arg(shown(path)).arg(row).arg(column)};
    Sheet sheet;
    forEachXlsxCell(sheetData, [&](int r, int col, const pugi::xml_node& c) {
        const std::string_view type = c.attribute("t").value();
        const pugi::xml_node v = c.child("v");
        if (type == "s") {
            const int index = v.text().as_int(-1);
            if (index >= 0 && index < shared.size() && !shared.at(index).isEmpty())
                sheet.setText(r, col, shared.at(index));
        } else if (type == "inlineStr") {
            const QString text = stringItemText(c.child("is"));
            if (!text.isEmpty())
                sheet.setText(r, col, text);
        } else if (type == "str" || type == "e") {
            const QString text = QString::fromUtf8(v.text().get());
            if (!text.isEmpty())
                sheet.setText(r, col, text);
        } else if (v) {
            const QByteArray bytes = v.text().get();
            if (const auto number = parseNumber(bytes))
                sheet.setNumber(r, col, *number);
            else if (!bytes.isEmpty())
                sheet.setText(r, col, QString::fromUtf8(bytes));
        }
    });
    return sheet;
}

const SheetCell kEmptyCell;

} // namespace

Result<Sheet> Sheet::open(const QString& path, int number)
{
    if (Status s = checkReadable(path); !s)
        return Error{s.error()};
    ReadingFile reading(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xls"))
        return openXls(path, number);
    if (suffix == QLatin1String("xlsx"))
        return openXlsx(path, number);
    return Error{QStringLiteral("%1: Excel のブック（.xls か .xlsx）ではありません").arg(shown(path))};
}

int Sheet::columnNumber(QStringView letters)
{
    int column = 0;
    for (QChar ch : letters) {
        const QChar up = ch.toUpper();
        if (up < QLatin1Char('A') || up > QLatin1Char('Z'))
            return 0;
        column = column * 26 + (up.unicode() - 'A' + 1);
    }
    return column;
}

const SheetCell& Sheet::cell(int row, int column) const
{
    if (row < 1 || column < 1 || row > static_cast<int>(m_rows.size()))
        return kEmptyCell;
    const auto& cells = m_rows[static_cast<size_t>(row - 1)];
    if (column > static_cast<int>(cells.size()))
        return kEmptyCell;
    return cells[static_cast<size_t>(column - 1)];
}

SheetCell& Sheet::at(int row, int column)
{
    if (row > static_cast<int>(m_rows.size()))
        m_rows.resize(static_cast<size_t>(row));
    auto& cells = m_rows[static_cast<size_t>(row - 1)];
    if (column > static_cast<int>(cells.size()))
        cells.resize(static_cast<size_t>(column));
    return cells[static_cast<size_t>(column - 1)];
}

QString Sheet::text(int row, int column) const
{
    const SheetCell& c = cell(row, column);
    switch (c.kind) {
    case SheetCell::Kind::Number:
        return formatDouble(c.number);
    case SheetCell::Kind::Text:
        return c.text;
    case SheetCell::Kind::Empty:
        break;
    }
    return {};
}

void Sheet::setValue(int row, int column, const QString& value)
{
    if (row < 1 || column < 1)
        return;
    SheetCell& c = at(row, column);
    if (value.isEmpty()) {
        c.kind = SheetCell::Kind::Empty;
        c.text.clear();
        return;
    }
    const bool textColumn = std::find(m_textColumns.begin(), m_textColumns.end(), column) != m_textColumns.end();
    if (!c.textFormat && !textColumn) {
        if (const auto number = toNumber(value)) {
            c.kind = SheetCell::Kind::Number;
            c.number = *number;
            c.text.clear();
            return;
        }
    }
    c.kind = SheetCell::Kind::Text;
    c.text = value;
}

void Sheet::setNumber(int row, int column, double value)
{
    if (row < 1 || column < 1)
        return;
    SheetCell& c = at(row, column);
    c.kind = SheetCell::Kind::Number;
    c.number = value;
    c.text.clear();
}

void Sheet::setText(int row, int column, const QString& value)
{
    if (row < 1 || column < 1)
        return;
    SheetCell& c = at(row, column);
    c.kind = value.isEmpty() ? SheetCell::Kind::Empty : SheetCell::Kind::Text;
    c.text = value;
}

int Sheet::endDown(int row, int column) const
{
    const int last = std::min(lastRow(), m_maxRow);
    if (!cell(row, column).isEmpty() && !cell(row + 1, column).isEmpty()) {
        int r = row + 1;
        while (r < last && !cell(r + 1, column).isEmpty())
            ++r;
        return r;
    }
    for (int r = row + 1; r <= last; ++r) {
        if (!cell(r, column).isEmpty())
            return r;
    }
    return m_maxRow;
}

int Sheet::lastRow() const
{
    for (int r = static_cast<int>(m_rows.size()); r >= 1; --r) {
        for (const SheetCell& c : m_rows[static_cast<size_t>(r - 1)]) {
            if (!c.isEmpty())
                return r;
        }
    }
    return 0;
}

int Sheet::lastColumn() const
{
    int last = 0;
    for (const auto& cells : m_rows) {
        for (int c = static_cast<int>(cells.size()); c > last; --c) {
            if (!cells[static_cast<size_t>(c - 1)].isEmpty()) {
                last = c;
                break;
            }
        }
    }
    return last;
}

void Sheet::deleteColumns(int first, int last)
{
    if (first < 1 || last < first)
        return;
    for (auto& cells : m_rows) {
        if (first > static_cast<int>(cells.size()))
            continue;
        const auto begin = cells.begin() + (first - 1);
        const auto end = cells.begin() + std::min<int>(last, static_cast<int>(cells.size()));
        cells.erase(begin, end);
    }
    std::vector<int> kept;
    for (int column : m_textColumns) {
        if (column < first)
            kept.push_back(column);
        else if (column > last)
            kept.push_back(column - (last - first + 1));
    }
    m_textColumns = std::move(kept);
}

void Sheet::deleteColumns(QStringView letters)
{
    const qsizetype colon = letters.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        const int column = columnNumber(letters);
        deleteColumns(column, column);
        return;
    }
    deleteColumns(columnNumber(letters.left(colon)), columnNumber(letters.mid(colon + 1)));
}

void Sheet::deleteRows(int first, int last)
{
    if (first < 1 || last < first || first > static_cast<int>(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + (first - 1), m_rows.begin() + std::min<int>(last, static_cast<int>(m_rows.size())));
}

void Sheet::insertRow(int row)
{
    if (row < 1 || row > static_cast<int>(m_rows.size()))
        return; // nothing below moves; the row is empty already
    m_rows.insert(m_rows.begin() + (row - 1), std::vector<SheetCell>());
}

void Sheet::setColumnTextFormat(int column)
{
    // The format covers the whole column, rows not used yet included.
    if (column < 1)
        return;
    for (auto& cells : m_rows) {
        if (column <= static_cast<int>(cells.size()))
            cells[static_cast<size_t>(column - 1)].textFormat = true;
    }
    m_textColumns.push_back(column);
}

void Sheet::setGeneralFormat()
{
    for (auto& cells : m_rows) {
        for (SheetCell& c : cells)
            c.textFormat = false;
    }
    m_textColumns.clear();
}

QStringList Sheet::csvLines() const
{
    const int rows = lastRow(), columns = lastColumn();
    QStringList lines;
    lines.reserve(rows);
    for (int r = 1; r <= rows; ++r) {
        QString line;
        for (int c = 1; c <= columns; ++c) {
            if (c > 1)
                line += QLatin1Char(',');
            QString field = text(r, c);
            field.replace(QLatin1Char(','), QChar(0xFF0C));
            field.replace(QLatin1Char('\r'), QLatin1Char(' '));
            field.replace(QLatin1Char('\n'), QLatin1Char(' '));
            line += field;
        }
        lines << line;
    }
    return lines;
}

Status Sheet::saveCsv(const QString& path) const
{
    return writeTextLines(path, csvLines());
}

QString toWide(const QString& text)
{
    // Half-width katakana U+FF61..U+FF9F in order, and their wide forms.
    static const QString narrowKana = QStringLiteral(
        "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ");
    static const QString wideKana = QStringLiteral(
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const char16_t u = ch.unicode();
        if (u == 0x20) {
            out += QChar(0x3000);
        } else if (u > 0x20 && u < 0x7F) {
            out += QChar(static_cast<char16_t>(u - 0x21 + 0xFF01));
        } else if (u >= 0xFF61 && u <= 0xFF9F) {
            QChar wide = wideKana.at(narrowKana.indexOf(ch));
            const char16_t next = i + 1 < text.size() ? text.at(i + 1).unicode() : 0;
            // A voiced or semi-voiced mark after a kana joins it, as the wide forms have it.
            if (next == 0xFF9E || next == 0xFF9F) {
                const QString joined = QString(wide) + QChar(next == 0xFF9E ? 0x3099 : 0x309A);
                const QString composed = joined.normalized(QString::NormalizationForm_C);
                if (composed.size() == 1) {
                    wide = composed.at(0);
                    ++i;
                } else if (wide == QChar(0x30A6) && next == 0xFF9E) {
                    wide = QChar(0x30F4); // ヴ
                    ++i;
                }
            }
            out += wide;
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace miratos::platform
