#pragma once
// Names of district files: two-digit census year + "_" + municipality code + "_" + municipality
// name + ".dat", for example 17_13101_千代田区.dat. The other files of a prefecture folder never
// start with a digit, which is how district files are told apart.
#include <QString>
#include <QStringView>
#include <optional>

namespace miratos::store {

struct DistrictFileName {
    int year = 0;
    QString code;
    QString name;

    bool operator==(const DistrictFileName&) const = default;
};

// Builds the file name. Code and name come from source data and go through safePathPart, so
// that the name can never point outside its folder.
QString districtFileName(int year, const QString& code, const QString& name);

// Year, code and name of a file name: the name is all after the second "_" (it may hold "_"
// itself), cut at its first ".". Nothing when the name is not a district file name or has fewer
// than three "_"-parts.
std::optional<DistrictFileName> parseDistrictFileName(QStringView fileName);

// True when the first character is a digit.
bool isDistrictFileName(QStringView fileName);

// The first two characters read as a number; nothing when they are not two digits.
std::optional<int> districtFileYear(QStringView fileName);

// The file name or path up to and including the second "_" of its file name (…/17_13101_ for
// …/17_13101_千代田区.dat, also when the name holds a "_"); statistic files of the municipality
// start with it. Empty when the file name has fewer than two "_".
QString districtFilePrefix(QStringView path);

} // namespace miratos::store
