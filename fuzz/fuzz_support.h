#pragma once
// Shared helpers of the fuzz targets: the input written to a file in a private scratch folder
// (every reader takes a path), inputs of several files split at a marker line, and checks that
// abort so that libFuzzer keeps the input that broke an invariant.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace miratos::fuzz {

// A folder of this process under the temporary folder, made on first use, removed at exit.
const QString& scratchFolder();

// Writes bytes to scratchFolder()/name (replacing it) and returns the path.
QString writeScratch(const QString& name, QByteArrayView bytes);

// The whole file, or empty bytes when it cannot be read.
QByteArray readScratch(const QString& path);

// Empties a folder under the scratch folder (creating it) and returns its path.
QString freshFolder(const QString& name);

// The input cut into at most parts pieces at the line "====" (LF or CR LF); missing pieces empty.
std::vector<QByteArray> splitInput(QByteArrayView input, int parts);

[[noreturn]] void fail(const char* file, int line, const char* what, const QString& detail = {});

} // namespace miratos::fuzz

#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::miratos::fuzz::fail(__FILE__, __LINE__, #cond, (detail));                            \
    } while (0)

#define FUZZ_INPUT QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
