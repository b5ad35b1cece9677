#pragma once
// The 47 prefectures by JIS code; the names are also the data folder names under MapData.
#include <QString>

namespace miratos::state {

constexpr int kPrefectureCount = 47;

// Name of prefecture code 1..47 (empty for anything else).
QString prefectureName(int code);

// Two-digit code text ("01" … "47").
QString prefectureCodeText(int code);

} // namespace miratos::state
