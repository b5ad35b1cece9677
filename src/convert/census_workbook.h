#pragma once
// Census result workbooks (12a001.xls, 12a003.xls, 17a001.xls, 17a002.xls, 17a003.xls) turned
// into statistic files: the first worksheet is reshaped in place (codes completed, names
// cleaned, a ratio computed, surplus columns and rows deleted, a header row written) and saved
// as CSV. The prefecture edition writes statistic1..5.csv into a prefecture's folder, the
// nationwide edition statistic1..2.csv into MapData.
#include "platform/result.h"
#include "platform/spreadsheet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace miratos::convert {

enum class CensusLayout { P12a001, P12a003, P17a002, P17a001, P17a003, J17a001, J17a002 };

struct CensusWorkbook {
    CensusLayout layout;
    QString checkBox;  // "chk1".. of the window
    QString workbook;  // the fixed name looked for in 変換フォルダ
    QString output;    // statisticN.csv
    QStringList header;
};

// The workbooks of the prefecture window (prefEdition) or of the nationwide window, in the
// order they are converted.
const std::vector<CensusWorkbook>& censusWorkbooks(bool prefEdition);

// The table of a workbook file name (12a001.xls, also 12a001.xlsx), or nothing.
const CensusWorkbook* censusWorkbookFor(bool prefEdition, const QString& fileName);

// Reshapes the first worksheet of a workbook of this table. Fails, leaving the sheet in an
// unknown state, when the layout cannot be found (no code where searched, no data rows).
Status reshapeCensusSheet(platform::Sheet& sheet, const CensusWorkbook& table);

// Opens the workbook, reshapes it and writes the CSV through a save-file; the workbook itself
// is never changed.
Status convertCensusWorkbook(const QString& workbookPath, const QString& outputPath, const CensusWorkbook& table);

struct CensusRunReport {
    QStringList written;  // output paths
    QStringList problems; // one line per workbook that could not be converted
};

// The window's run: every ticked table whose workbook lies in convertFolder is converted into
// outputFolder; missing workbooks are skipped without a note.
CensusRunReport convertCensusFolder(bool prefEdition, const QString& convertFolder, const QString& outputFolder,
                                    const std::function<bool(const QString& checkBox)>& ticked);

} // namespace miratos::convert
