#include "stats/expression.h"

#include "platform/number_text.h"

#include <cmath>
#include <map>
#include <unordered_map>

namespace miratos::stats {

struct ExprNode {
    enum Kind { Number, Column, Area, Share, Change, Negate, Add, Subtract, Multiply, Divide } kind = Number;
    double number = 0;
    int column = 0;
    std::shared_ptr<const ExprNode> left, right;
};

namespace {

using Node = std::shared_ptr<const ExprNode>;

std::optional<double> finite(double v)
{
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

class Parser {
public:
    Parser(const QString& text, const std::vector<QString>& header) : m_text(text), m_header(header) {}

    // Operators chain into a tree as deep as the chain is long, and evaluating walks it by
    // recursion: the length bounds that depth.
    static constexpr int kMaxLength = 1000;

    Result<Node> run()
    {
        if (m_text.size() > kMaxLength)
            return Error{QStringLiteral("計算式が長すぎます（%1 文字まで、この式は %2 文字）。").arg(kMaxLength).arg(m_text.size())};
        Node root = expression();
        skipSpaces();
        if (m_error.isEmpty() && m_pos < m_text.size())
            fail(QStringLiteral("%1 文字目の「%2」は使えません。").arg(m_pos + 1).arg(m_text.at(m_pos)));
        if (m_error.isEmpty() && !root)
            fail(QStringLiteral("式がありません。"));
        if (!m_error.isEmpty())
            return Error{QStringLiteral("計算式「%1」: %2").arg(m_text, m_error)};
        return root;
    }

private:
    void fail(const QString& why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }
    void skipSpaces()
    {
        while (m_pos < m_text.size() && (m_text.at(m_pos).isSpace()))
            ++m_pos;
    }
    // The next character, skipping spaces; full-width signs count as their ASCII forms.
    QChar peek()
    {
        skipSpaces();
        if (m_pos >= m_text.size())
            return QChar();
        const QChar c = m_text.at(m_pos);
        switch (c.unicode()) {
        case u'＋': return u'+';
        case u'−': case u'－': return u'-';
        case u'×': case u'＊': return u'*';
        case u'÷': case u'／': return u'/';
        case u'（': return u'(';
        case u'）': return u')';
        case u'［': return u'[';
        case u'］': return u']';
        case u'，': case u'、': return u',';
        default: return c;
        }
    }
    bool accept(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    static Node make(ExprNode::Kind kind, Node left = {}, Node right = {})
    {
        auto n = std::make_shared<ExprNode>();
        n->kind = kind;
        n->left = std::move(left);
        n->right = std::move(right);
        return n;
    }

    // Parentheses and signs nest by recursion: a hostile expression of thousands of them would
    // overflow the stack, so the depth is bounded.
    static constexpr int kMaxDepth = 200;
    bool deeper()
    {
        if (++m_depth <= kMaxDepth)
            return true;
        fail(QStringLiteral("括弧や符号の入れ子が深すぎます（%1 段まで）。").arg(kMaxDepth));
        return false;
    }
    struct Depth {
        Parser& p;
        ~Depth() { --p.m_depth; }
    };

    Node expression()
    {
        Depth guard{*this};
        if (!deeper())
            return {};
        Node left = term();
        while (m_error.isEmpty()) {
            if (accept(u'+'))
                left = make(ExprNode::Add, left, term());
            else if (accept(u'-'))
                left = make(ExprNode::Subtract, left, term());
            else
                break;
        }
        return left;
    }
    Node term()
    {
        Node left = unary();
        while (m_error.isEmpty()) {
            if (accept(u'*'))
                left = make(ExprNode::Multiply, left, unary());
            else if (accept(u'/'))
                left = make(ExprNode::Divide, left, unary());
            else
                break;
        }
        return left;
    }
    Node unary()
    {
        Depth guard{*this};
        if (!deeper())
            return {};
        if (accept(u'-'))
            return make(ExprNode::Negate, unary());
        if (accept(u'+'))
            return unary();
        return primary();
    }
    Node primary()
    {
        const QChar c = peek();
        if (c.isNull()) {
            fail(QStringLiteral("式が途中で終わっています。"));
            return {};
        }
        if (accept(u'(')) {
            Node inner = expression();
            if (m_error.isEmpty() && !accept(u')'))
                fail(QStringLiteral("閉じ括弧「)」が足りません。"));
            return inner;
        }
        if (accept(u'['))
            return column();
        if (c.isDigit() || c == u'.' || c == u'．')
            return number();
        if (c.isLetter())
            return function();
        fail(QStringLiteral("%1 文字目の「%2」は使えません。").arg(m_pos + 1).arg(m_text.at(m_pos)));
        return {};
    }
    Node column()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos) != u']' && m_text.at(m_pos) != u'］')
            ++m_pos;
        if (m_pos >= m_text.size()) {
            fail(QStringLiteral("閉じ括弧「]」が足りません。"));
            return {};
        }
        const QString name = m_text.mid(start, m_pos - start).trimmed();
        ++m_pos;
        for (size_t c = 0; c < m_header.size(); ++c) {
            if (m_header[c].trimmed() == name) {
                auto n = std::make_shared<ExprNode>();
                n->kind = ExprNode::Column;
                n->column = static_cast<int>(c);
                return n;
            }
        }
        fail(QStringLiteral("列 [%1] は表にありません。").arg(name));
        return {};
    }
    Node number()
    {
        // Full-width digits, as an input method types them, read as their ASCII forms.
        QString ascii;
        const qsizetype start = m_pos;
        for (; m_pos < m_text.size(); ++m_pos) {
            const QChar c = m_text.at(m_pos);
            if (c.isDigit() && c.digitValue() >= 0)
                ascii += QChar(u'0' + c.digitValue());
            else if (c == u'.' || c == u'．')
                ascii += u'.';
            else
                break;
        }
        const auto value = platform::toNumber(ascii);
        if (!value) {
            fail(QStringLiteral("数「%1」が読めません。").arg(m_text.mid(start, m_pos - start)));
            return {};
        }
        auto n = std::make_shared<ExprNode>();
        n->kind = ExprNode::Number;
        n->number = *value;
        return n;
    }
    Node function()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos).isLetter())
            ++m_pos;
        const QString name = m_text.mid(start, m_pos - start);
        int arity = -1;
        ExprNode::Kind kind = ExprNode::Area;
        if (name == QStringLiteral("面積")) {
            arity = 0;
        } else if (name == QStringLiteral("構成比")) {
            arity = 1;
            kind = ExprNode::Share;
        } else if (name == QStringLiteral("増減率")) {
            arity = 2;
            kind = ExprNode::Change;
        } else {
            fail(QStringLiteral("関数「%1」はありません（使えるのは 面積()、構成比([列])、増減率([新],[旧])）。").arg(name));
            return {};
        }
        if (!accept(u'(')) {
            fail(QStringLiteral("%1 の後に「(」が要ります。").arg(name));
            return {};
        }
        std::vector<Node> args;
        if (!accept(u')')) {
            do
                args.push_back(expression());
            while (m_error.isEmpty() && accept(u','));
            if (m_error.isEmpty() && !accept(u')'))
                fail(QStringLiteral("閉じ括弧「)」が足りません。"));
        }
        if (m_error.isEmpty() && static_cast<int>(args.size()) != arity)
            fail(QStringLiteral("%1 の引数は %2 個です。").arg(name).arg(arity));
        if (!m_error.isEmpty())
            return {};
        return make(kind, arity > 0 ? args[0] : Node{}, arity > 1 ? args[1] : Node{});
    }

    const QString& m_text;
    const std::vector<QString>& m_header;
    qsizetype m_pos = 0;
    int m_depth = 0;
    QString m_error;
};

class Evaluator {
public:
    Evaluator(const StatRows& table, int rowCount, const AreaLookup& area) : m_table(table), m_rowCount(rowCount), m_area(area) {}

    std::optional<double> at(const ExprNode& n, int row)
    {
        switch (n.kind) {
        case ExprNode::Number:
            return n.number;
        case ExprNode::Column: {
            const auto& cells = m_table[static_cast<size_t>(row)];
            if (static_cast<size_t>(n.column) >= cells.size())
                return std::nullopt;
            const auto v = platform::toNumber(cells[static_cast<size_t>(n.column)]);
            return v ? finite(*v) : std::nullopt;
        }
        case ExprNode::Area:
            return m_area && !m_table[static_cast<size_t>(row)].empty() ? m_area(m_table[static_cast<size_t>(row)][0]) : std::nullopt;
        case ExprNode::Negate: {
            const auto v = at(*n.left, row);
            return v ? std::optional<double>(-*v) : std::nullopt;
        }
        case ExprNode::Share: {
            const auto v = at(*n.left, row);
            const auto total = totalOf(*n.left);
            if (!v || !total || *total == 0)
                return std::nullopt;
            return finite(*v / *total * 100.0);
        }
        default:
            break;
        }
        const auto a = at(*n.left, row);
        const auto b = at(*n.right, row);
        if (!a || !b)
            return std::nullopt;
        switch (n.kind) {
        case ExprNode::Add: return finite(*a + *b);
        case ExprNode::Subtract: return finite(*a - *b);
        case ExprNode::Multiply: return finite(*a * *b);
        case ExprNode::Divide: return *b == 0 ? std::nullopt : finite(*a / *b);
        case ExprNode::Change: return *b == 0 ? std::nullopt : finite((*a - *b) / *b * 100.0);
        default: return std::nullopt;
        }
    }

private:
    // The sum over every data row that has a value; worked out once per expression and table.
    std::optional<double> totalOf(const ExprNode& n)
    {
        const auto it = m_totals.find(&n);
        if (it != m_totals.end())
            return it->second;
        double sum = 0;
        for (int r = 1; r <= m_rowCount; ++r) {
            if (const auto v = at(n, r))
                sum += *v;
        }
        return m_totals[&n] = finite(sum);
    }

    const StatRows& m_table;
    int m_rowCount;
    const AreaLookup& m_area;
    std::unordered_map<const ExprNode*, std::optional<double>> m_totals;
};

bool mentionsArea(const ExprNode* n)
{
    return n && (n->kind == ExprNode::Area || mentionsArea(n->left.get()) || mentionsArea(n->right.get()));
}

} // namespace

Result<Expression> Expression::parse(const QString& text, const std::vector<QString>& header)
{
    auto root = Parser(text, header).run();
    if (!root)
        return Error{root.error()};
    Expression e;
    e.m_root = std::move(root).value();
    return e;
}

std::vector<std::optional<double>> Expression::evaluate(const StatRows& table, int rowCount, const AreaLookup& area) const
{
    const int rows = std::max(0, std::min(rowCount, static_cast<int>(table.size()) - 1));
    std::vector<std::optional<double>> values;
    values.reserve(static_cast<size_t>(rows));
    Evaluator evaluator(table, rows, area);
    for (int r = 1; r <= rows; ++r)
        values.push_back(evaluator.at(*m_root, r));
    return values;
}

bool Expression::usesArea() const
{
    return mentionsArea(m_root.get());
}

QString computedCellText(const std::optional<double>& value)
{
    return value ? platform::formatDouble(*value) : QStringLiteral("-");
}

Result<std::pair<QString, QString>> splitComputeSpec(const QString& spec)
{
    const qsizetype eq = spec.indexOf(u'=');
    if (eq < 0)
        return Error{QStringLiteral("計算列「%1」: 「列名=計算式」の形で書いてください。").arg(spec)};
    return std::pair{spec.left(eq).trimmed(), spec.mid(eq + 1)};
}

Status checkColumnName(const QString& name, const std::vector<QString>& header)
{
    if (name.isEmpty())
        return Error{QStringLiteral("計算列の名前がありません。")};
    if (name.contains(u',') || name.contains(u'\n') || name.contains(u'\r') || name.contains(u'"'))
        return Error{QStringLiteral("計算列の名前「%1」にカンマ、引用符や改行は使えません。").arg(name)};
    for (const QString& cell : header) {
        if (cell.trimmed() == name)
            return Error{QStringLiteral("列「%1」は表に既にあります。別の名前にしてください。").arg(name)};
    }
    return {};
}

Result<QStringList> previewComputedColumn(const QString& expr, const StatRows& table, int rowCount, const AreaLookup& area, int rows)
{
    if (table.empty())
        return Error{QStringLiteral("統計データがまだ抽出されていません。")};
    const auto parsed = Expression::parse(expr, table.front());
    if (!parsed)
        return Error{parsed.error()};
    const auto values = parsed->evaluate(table, rowCount, area);
    QStringList texts;
    for (size_t i = 0; i < values.size() && static_cast<int>(i) < rows; ++i)
        texts << computedCellText(values[i]);
    return texts;
}

namespace {

struct ComputedMark {
    const StatRows* table;
    int column;
    QString name;
    QString expr;
};

std::vector<ComputedMark>& computedMarks()
{
    static std::vector<ComputedMark> marks;
    return marks;
}

} // namespace

bool isComputedColumn(const StatRows& table, int column)
{
    if (table.empty() || column < 0 || static_cast<size_t>(column) >= table.front().size())
        return false;
    for (const ComputedMark& m : computedMarks()) {
        if (m.table == &table && m.column == column && m.name == table.front()[static_cast<size_t>(column)])
            return true;
    }
    return false;
}

QStringList computedColumnSpecs(const StatRows& table)
{
    // A table read again at the same place may have left older marks: the last one of each
    // column is the one that made it.
    std::map<int, QString> byColumn;
    for (const ComputedMark& m : computedMarks()) {
        if (m.table == &table && isComputedColumn(table, m.column) && table.front()[static_cast<size_t>(m.column)] == m.name)
            byColumn[m.column] = m.name + QLatin1Char('=') + m.expr;
    }
    QStringList specs;
    for (const auto& [column, spec] : byColumn)
        specs << spec;
    return specs;
}

bool canRankColumn(const StatRows& table, int column, int rowCount)
{
    const int rows = std::min(rowCount, static_cast<int>(table.size()) - 1);
    const auto numericAt = [&](int r) {
        const auto& row = table[static_cast<size_t>(r)];
        return column >= 0 && static_cast<size_t>(column) < row.size() && platform::isNumeric(row[static_cast<size_t>(column)]);
    };
    if (rows < 1)
        return false;
    if (numericAt(1))
        return true;
    if (!isComputedColumn(table, column))
        return false;
    for (int r = 2; r <= rows; ++r) {
        if (numericAt(r))
            return true;
    }
    return false;
}

Status addComputedColumn(const QString& name, const QString& expr, StatRows& table, int16_t& colCount, int rowCount,
                         const AreaLookup& area)
{
    if (table.empty())
        return Error{QStringLiteral("統計データがまだ抽出されていません。")};
    if (const Status named = checkColumnName(name, table.front()); !named)
        return named;
    if (colCount >= INT16_MAX)
        return Error{QStringLiteral("表の列がこれ以上増やせません（%1 列まで）。").arg(INT16_MAX)};
    const auto parsed = Expression::parse(expr, table.front());
    if (!parsed)
        return Error{parsed.error()};
    const auto values = parsed->evaluate(table, rowCount, area);
    const size_t width = static_cast<size_t>(colCount) + 1;
    for (size_t r = 0; r < table.size(); ++r) {
        auto& row = table[r];
        row.resize(width); // short lines get their missing cells, so the new one lands in its column
        if (r == 0)
            row.push_back(name);
        else
            row.push_back(r - 1 < values.size() ? computedCellText(values[r - 1]) : QStringLiteral("-"));
    }
    ++colCount;
    computedMarks().push_back({&table, colCount, name, expr});
    return {};
}

} // namespace miratos::stats
