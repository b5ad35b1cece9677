#pragma once
// A worksheet in memory that does what the census conversions ask of a spreadsheet program:
// open a worksheet of a workbook, the first unless told (.xls through FreeXL, .xlsx through GDAL's zip access
// and pugixml), read and write cells by row number and column letter, End(xlDown), the last used
// cell, delete and insert rows and columns (following ones shift), text and general number
// formats, and save as CSV the way the spreadsheet does (CP932, CR LF, numbers in the general
// format, text as written). Rows and columns are 1-based, as the spreadsheet counts them.
#include "platform/result.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace miratos::platform {

struct SheetCell {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0;
    QString text;        // the text of a Text cell
    bool textFormat = false; // formatted "@": text written to the cell stays text

    bool isEmpty() const { return kind == Kind::Empty; }
};

class Sheet {
public:
    // The last row End(xlDown) reaches when nothing lies below (the row count of the format).
    explicit Sheet(int maxRow = 1048576) : m_maxRow(maxRow) {}

    // Worksheet number (1 the first) of a .xls or .xlsx workbook, chosen by the file's suffix.
    // Text cells hold their text without phonetic runs; empty rows and columns keep their
    // places. Errors name the file.
    static Result<Sheet> open(const QString& path, int number = 1);

    // Column number of letters such as "A", "AB" (0 when they are no column letters).
    static int columnNumber(QStringView letters);

    const SheetCell& cell(int row, int column) const;
    // The cell's value as text: a number in the general format, text as it is, "" when empty.
    QString text(int row, int column) const;
    QString text(int row, QStringView column) const { return text(row, columnNumber(column)); }

    // Assigning text to a cell: text that reads as a number becomes that number, unless the cell
    // is formatted as text; empty text empties the cell.
    void setValue(int row, int column, const QString& value);
    void setValue(int row, QStringView column, const QString& value) { setValue(row, columnNumber(column), value); }
    void setNumber(int row, int column, double value);
    void setNumber(int row, QStringView column, double value) { setNumber(row, columnNumber(column), value); }
    // Text that stays text whatever it reads like (a cell formatted "@" before writing).
    void setText(int row, int column, const QString& value);
    void setText(int row, QStringView column, const QString& value) { setText(row, columnNumber(column), value); }

    // The row End(xlDown) reaches from a cell: the last non-empty cell of the run of non-empty
    // cells the cell starts, or else the next non-empty cell below; maxRow() when there is none.
    int endDown(int row, int column) const;
    int maxRow() const { return m_maxRow; }

    // SpecialCells(xlCellTypeLastCell): the last used row and column (0 for an empty sheet).
    int lastRow() const;
    int lastColumn() const;

    // Columns first..last are removed and the following ones move left.
    void deleteColumns(int first, int last);
    // Letters such as "N:P" or "R".
    void deleteColumns(QStringView letters);
    // Rows first..last are removed and the following ones move up.
    void deleteRows(int first, int last);
    // An empty row is put in at row; it and the following ones move down.
    void insertRow(int row);

    // NumberFormatLocal "@" on a column, and "G/標準" on every cell.
    void setColumnTextFormat(int column);
    void setGeneralFormat();

    // The used range from A1, one line per row, fields joined by ",". A comma inside a text
    // becomes "，" so that it cannot split the field (statistic files know no quoting).
    QStringList csvLines() const;
    // Writes csvLines as CP932 with CR LF through a save-file.
    Status saveCsv(const QString& path) const;

private:
    SheetCell& at(int row, int column);

    std::vector<std::vector<SheetCell>> m_rows; // m_rows[r - 1][c - 1]; short rows are empty beyond
    std::vector<int> m_textColumns;             // columns formatted "@"
    int m_maxRow;
};

// Text with every narrow (half-width) character in its wide form: ASCII letters, digits and
// signs, the space (to the ideographic space) and half-width katakana (voiced marks joined).
QString toWide(const QString& text);

} // namespace miratos::platform
