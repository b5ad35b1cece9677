#pragma once
// Computed columns: an expression over the columns of the statistic table, evaluated for every
// data row and appended as a new column. The language: columns in square brackets
// ("[人口(人)]", since titles hold parentheses), numbers written with ".", + - * / (also − × ÷),
// parentheses, and the functions 面積() (the region's area in km²), 構成比(x) (share of the
// column's total in %) and 増減率(new, old) (change in %). An operand that is not a number, and a
// division by zero, give no data for that row: a computed value is never inf or nan.
#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace miratos::stats {

using StatRows = std::vector<std::vector<QString>>;
// The area in km² of the drawn region with a statistic code, or nothing when no region has it.
using AreaLookup = std::function<std::optional<double>(const QString& code)>;

struct ExprNode;

class Expression {
public:
    // Parses text against the table's header (row 0); an unknown column, a stray character or an
    // unfinished expression is an error naming the expression.
    static Result<Expression> parse(const QString& text, const std::vector<QString>& header);

    // The value of every data row 1..rowCount (index 0 of the result is row 1).
    std::vector<std::optional<double>> evaluate(const StatRows& table, int rowCount, const AreaLookup& area) const;

    bool usesArea() const;

private:
    std::shared_ptr<const ExprNode> m_root;
};

// The text a computed cell holds: the number with "." and up to 15 significant digits, or "-"
// (no data) when the row has no value.
QString computedCellText(const std::optional<double>& value);

// Splits "NAME=EXPR" at the first "=".
Result<std::pair<QString, QString>> splitComputeSpec(const QString& spec);

// Checks a new column's name against the header: not empty, no comma or line break (the table
// is written comma-separated), not already a column.
Status checkColumnName(const QString& name, const std::vector<QString>& header);

// The texts of the first rows of the column the expression would add (for a preview).
Result<QStringList> previewComputedColumn(const QString& expr, const StatRows& table, int rowCount, const AreaLookup& area,
                                          int rows);

// Appends the column NAME computed from EXPR to the table: the header gets NAME, each data row
// its value. colCount grows by one. On error the table is left as it was.
Status addComputedColumn(const QString& name, const QString& expr, StatRows& table, int16_t& colCount, int rowCount,
                         const AreaLookup& area);

// True when column of table was added by addComputedColumn (and still holds that header). A
// computed column may lack a value in its first row where a plain one would not (a total row
// that has no region of its own for 面積()), so whether it can be ranked is asked of all rows.
bool isComputedColumn(const StatRows& table, int column);

// The computed columns of table still in it, as "NAME=EXPR" in the order they were added (what
// a saved map keeps to compute them again).
QStringList computedColumnSpecs(const StatRows& table);

// Whether a column can be ranked: its first data row is numeric, or, for a computed column,
// any data row is.
bool canRankColumn(const StatRows& table, int column, int rowCount);

} // namespace miratos::stats
