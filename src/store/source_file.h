#pragma once
// 出典.txt in a prefecture folder: the credit line of the data its boundaries were made from, in
// the wording that data's terms ask for. Today's imports write it; a folder without it holds what
// the specified converters make from 国土数値情報.
#include "platform/result.h"

#include <QString>

namespace miratos::store {

inline constexpr char16_t kSourceFile[] = u"出典.txt";
// The credit of 国土数値情報's boundaries, the source of every import but R's maps database.
inline constexpr char16_t kKsjBoundaryCredit[] = u"「国土数値情報（行政区域データ）」（国土交通省）を加工して作成";

// Writes the line (UTF-8) through the save-file.
Status writeSourceFile(const QString& path, const QString& credit);
// The line, or an empty text when the file is absent, empty or not a short text.
QString readSourceFile(const QString& path);

} // namespace miratos::store
