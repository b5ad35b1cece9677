#pragma once
// CP932 (Windows Japanese) conversion. The data files of MapData are CP932; iconv's "CP932"
// table is used rather than "SHIFT_JIS" so that "～" maps to U+FF5E and "①" survives.
#include "platform/result.h"

#include <QByteArray>
#include <QString>

namespace miratos::platform {

// Decodes CP932 bytes. Bytes that are not valid CP932 become U+FFFD.
QString fromCp932(QByteArrayView bytes);

// Encodes text as CP932; a character CP932 cannot hold is an error naming that character.
Result<QByteArray> toCp932(const QString& text);

// The text encodings a reader accepts.
enum class TextEncoding { Cp932, Utf8 };

// UTF-8 when the bytes start with a UTF-8 byte order mark, otherwise CP932.
TextEncoding detectEncoding(QByteArrayView bytes);

// UTF-8 with or without a byte order mark when the bytes hold non-ASCII text that is valid
// UTF-8, otherwise CP932. For files a user brings (own statistic tables).
TextEncoding guessEncoding(QByteArrayView bytes);

// Decodes bytes in the given encoding, dropping a UTF-8 byte order mark.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);

} // namespace miratos::platform
