#pragma once
// The writer/reader invariant of the MapData files: what a reader accepted, its writer writes (a
// character CP932 cannot hold may refuse), and reading that back gives the same records.
#include "fuzz_support.h"

#include <QDebug>

namespace miratos::fuzz {

template <class Value>
QString describe(const Value&)
{
    return {};
}

template <class Read, class Write>
void checkRoundTrip(const QString& inputPath, Read read, Write write)
{
    auto first = read(inputPath);
    if (!first)
        return;
    const QString again = scratchFolder() + QStringLiteral("/again.dat");
    if (!write(again, *first).ok())
        return; // only text CP932 cannot hold (from a UTF-8 input) may stop the writer
    auto second = read(again);
    FUZZ_CHECK(second.ok(), QStringLiteral("the reader refuses what the writer wrote"));
    FUZZ_CHECK(*second == *first, QStringLiteral("read(write(x)) differs from x"));
}

} // namespace miratos::fuzz
