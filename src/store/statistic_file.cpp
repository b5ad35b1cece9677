#include "store/statistic_file.h"

#include "platform/encoding_doubt.h"
#include "platform/read_limits.h"
#include "platform/text_file.h"
#include "store/record_lines.h"

#include <algorithm>
#include <limits>

namespace miratos::store {
namespace {

constexpr QChar kComma = QLatin1Char(',');
constexpr int kMaxRanks = 10;
// A table of the whole country's small areas has some hundred columns and a few hundred thousand
// rows; a file of a few megabytes must not ask for more.
constexpr qsizetype kStatisticColumnLimit = 4096;
constexpr qint64 kStatisticCellLimit = 30'000'000;

// Converters never write a trailing empty line, but editors often leave one.
void dropTrailingEmptyLines(QStringList& lines)
{
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
}

// A row other than the last is a total row when its code names a municipality (5 characters) or
// a town whose blocks follow it (9 characters, contained in the next row's code).
bool isTotalRow(const StatRows& table, int row, int rowCount)
{
    if (row == 0 || row >= rowCount)
        return false;
    const auto codeOf = [&](int r) {
        const auto& cells = table[static_cast<size_t>(r)];
        return cells.empty() ? QString() : cells.front();
    };
    const QString code = codeOf(row);
    if (code.size() == 5)
        return true;
    return code.size() == 9 && codeOf(row + 1).contains(code);
}

} // namespace

Status appendStatisticFile(const QString& path, StatRows& table, int16_t& colCount, int32_t& rowCount,
                           bool guessEncoding, const std::function<void()>& yield, QString* note)
{
    if (note)
        note->clear();
    auto bytes = platform::readFileBytes(path);
    if (!bytes)
        return Error{bytes.error()};
    platform::ReadingFile reading(path);
    if (platform::isUtf16(*bytes))
        return Error{platform::utf16Refusal(path)};
    const auto encoding = guessEncoding ? platform::guessEncoding(*bytes) : platform::detectEncoding(*bytes);
    qsizetype invalid = 0;
    QStringList lines = platform::splitLines(platform::decodeText(*bytes, encoding, &invalid));
    // Which encoding was assumed, when the bytes suggest the other: told with every message.
    const QString doubt = platform::encodingDoubt(*bytes, encoding);
    const auto withDoubt = [&](const QString& message) {
        return doubt.isEmpty() ? message : message + QStringLiteral("（") + doubt + QStringLiteral("）");
    };
    if (note) {
        QStringList notes;
        if (invalid > 0)
            notes << platform::invalidBytesNote(displayPath(path), invalid);
        if (!doubt.isEmpty())
            notes << QStringLiteral("%1: %2").arg(displayPath(path), doubt);
        *note = notes.join(QLatin1Char('\n'));
    }
    dropTrailingEmptyLines(lines);
    if (lines.isEmpty())
        return {};

    // Rows are collected apart and appended only when the whole file is good; the size is
    // checked before any row is built.
    StatRows rows;
    const bool hasHeader = !table.empty();
    const qsizetype columns = hasHeader ? std::max(1, colCount + 1) : lines.first().count(kComma) + 1;
    if (columns > kStatisticColumnLimit)
        return Error{withDoubt(QStringLiteral("%1 は見出しの項目が %2 あり、上限の %3 を超えるため読み込めません")
                                   .arg(displayPath(path))
                                   .arg(columns)
                                   .arg(kStatisticColumnLimit))};
    const qint64 cells = qint64(columns) * qint64(table.size() + lines.size());
    if (cells > kStatisticCellLimit)
        return Error{QStringLiteral("%1 を合わせると表の欄が %2 個になり、上限の %3 個を超えるため読み込めません")
                         .arg(displayPath(path))
                         .arg(cells)
                         .arg(kStatisticCellLimit)};
    rows.reserve(static_cast<size_t>(lines.size()));
    for (qsizetype i = hasHeader ? 1 : 0; i < lines.size(); ++i) {
        QStringList fields = lines.at(i).split(kComma);
        if (fields.size() < columns)
            return Error{withDoubt(QStringLiteral("%1 の %2 行目の項目が見出しより少ないため読み込めません")
                                       .arg(displayPath(path))
                                       .arg(i + 1))};
        fields.resize(columns);
        rows.emplace_back(fields.cbegin(), fields.cend());
        if (yield)
            yield();
    }

    if (!hasHeader)
        colCount = static_cast<int16_t>(columns - 1);
    table.reserve(table.size() + rows.size());
    for (auto& row : rows)
        table.push_back(std::move(row));
    rowCount = static_cast<int32_t>(table.size()) - 1;
    return {};
}

Status exportStatisticTable(const QString& path, const StatRows& table, int colCount, int rowCount, bool withoutTotals)
{
    const int lastRow = std::min(rowCount, static_cast<int>(table.size()) - 1);
    if (lastRow <= 0)
        return {};
    QStringList lines;
    lines.reserve(lastRow + 1);
    for (int r = 0; r <= lastRow; ++r) {
        if (withoutTotals && isTotalRow(table, r, lastRow))
            continue;
        const auto& row = table[static_cast<size_t>(r)];
        const auto end = row.begin() + std::min<qsizetype>(colCount + 1, static_cast<qsizetype>(row.size()));
        lines.append(QStringList(row.begin(), end).join(kComma));
    }
    return platform::appendTextLines(path, lines);
}

Status writeUnmatchedReport(const QString& path, const QString& mapSide, const QString& statSide)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString text = QStringLiteral("地図データ側：") + crlf + mapSide + crlf + QStringLiteral("統計データ側：") + crlf +
                         statSide + crlf;
    auto bytes = platform::toCp932(text);
    if (!bytes)
        return Error{QStringLiteral("%1: %2").arg(displayPath(path), bytes.error())};
    return platform::writeFileAtomically(path, *bytes);
}

Status writeRankColorFile(const QString& path, int rankCount, const QVector<int>& colors)
{
    QStringList lines{QString::number(rankCount)};
    for (int color : colors)
        lines.append(QString::number(color));
    return platform::writeTextLines(path, lines);
}

Result<RankColorFile> readRankColorFile(const QString& path)
{
    auto lines = platform::readTextLines(path);
    if (!lines)
        return Error{lines.error()};
    dropTrailingEmptyLines(*lines);
    bool ok = false;
    const int rankCount = lines->isEmpty() ? 0 : lines->first().trimmed().toInt(&ok);
    if (!ok || rankCount < 3 || rankCount > kMaxRanks)
        return Error{QStringLiteral("%1 は色設定ファイルではありません（1 行目がランク数 3～10 ではありません）")
                         .arg(displayPath(path))};
    if (lines->size() - 1 > kMaxRanks)
        return Error{QStringLiteral("%1 は色設定ファイルではありません（色が 10 を超えています）").arg(displayPath(path))};
    RankColorFile file;
    file.rankCount = rankCount;
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const int color = lines->at(i).trimmed().toInt(&ok);
        if (!ok || color < 0 || color > 0xFFFFFF)
            return Error{QStringLiteral("%1 の %2 行目が色の値ではありません").arg(displayPath(path)).arg(i + 1)};
        file.colors.append(color);
    }
    return file;
}

} // namespace miratos::store
