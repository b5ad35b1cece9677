#pragma once
// The writer/reader invariant of the MapData files: what a reader accepted, its writer writes (a
// character CP932 cannot hold may refuse), and reading that back gives as many records; from then
// on writing and reading changes nothing. (The first write may change text: CP932 writes a few
// characters of a UTF-8 file as their full-width forms, "£" as "￡".)
#include "fuzz_support.h"

#include <QDebug>

namespace miratos::fuzz {

template <class T>
qsizetype sizeOf(const T& value)
{
    if constexpr (requires { value.records; })
        return value.records.size();
    else
        return value.size();
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
    FUZZ_CHECK(second.ok(), QStringLiteral("the reader refuses what the writer wrote: ") + second.error());
    FUZZ_CHECK(sizeOf(*second) == sizeOf(*first), QStringLiteral("read(write(x)) has another number of records"));
    const QString third = scratchFolder() + QStringLiteral("/third.dat");
    FUZZ_CHECK(write(third, *second).ok(), QStringLiteral("what was read from the writer cannot be written"));
    auto fourth = read(third);
    FUZZ_CHECK(fourth.ok() && *fourth == *second, QStringLiteral("read(write(x)) differs from x"));
}

} // namespace miratos::fuzz
