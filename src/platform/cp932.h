#pragma once
// CP932 (Windows Japanese) conversion. The data files of MapData are CP932; iconv's "CP932"
// table is used rather than "SHIFT_JIS" so that "～" maps to U+FF5E and "①" survives.
#include "platform/result.h"

#include <QByteArray>
#include <QString>

namespace miratos::platform {

// Bytes of a file that are not valid text in its encoding are read as "〓" (U+3013), one for each
// such byte, a character CP932 holds: the text stays visible as damaged and can always be
// written again, so an export or a report never stops on it. Readers say so once per file
// (invalidBytesNote).
inline constexpr char16_t kInvalidByteMark = u'\u3013';

// Decodes CP932 bytes; invalid bytes become kInvalidByteMark and are counted in invalid.
QString fromCp932(QByteArrayView bytes, qsizetype* invalid = nullptr);

// Encodes text as CP932; a character CP932 cannot hold is an error naming that character.
Result<QByteArray> toCp932(const QString& text);

// CP932 bytes with every byte that is not part of a valid CP932 character replaced by the
// bytes of kInvalidByteMark (81 AC); valid characters stay byte for byte. For converters that copy
// source bytes into MapData files: a stray lead byte must not swallow the "@" or line end after it.
QByteArray cleanCp932(QByteArrayView bytes, qsizetype* invalid = nullptr);

// The text with each character that CP932 cannot hold ("𠮷") replaced by kInvalidByteMark, the
// count in replaced: an import writes a name it cannot hold as "〓" instead of refusing the file.
QString withCp932Marks(const QString& text, qsizetype* replaced = nullptr);

// The note an import gives once where characters became "〓": how many in all, and the first
// record as the caller names it (file or layer, record number, name).
QString cp932MarksNote(const QString& firstRecord, qsizetype count);

// The text encodings a reader accepts.
enum class TextEncoding { Cp932, Utf8 };

// UTF-8 when the bytes start with a UTF-8 byte order mark, otherwise CP932.
TextEncoding detectEncoding(QByteArrayView bytes);

// UTF-8 with or without a byte order mark when the bytes hold non-ASCII text that is valid
// UTF-8, otherwise CP932. For files a user brings (own statistic tables).
TextEncoding guessEncoding(QByteArrayView bytes);

// Decodes bytes in the given encoding, dropping a UTF-8 byte order mark. Invalid bytes (and a
// U+FFFD a UTF-8 file holds, the mark of bytes lost before) become kInvalidByteMark, counted in
// invalid.
QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype* invalid = nullptr);

// True for bytes that start with a UTF-16 byte order mark (FF FE or FE FF): text that no reader
// takes, refused with utf16Refusal instead of being read as CP932 garbage.
bool isUtf16(QByteArrayView bytes);
QString utf16Refusal(const QString& path);

// The note a reader gives once for a file whose invalid bytes were replaced.
QString invalidBytesNote(const QString& path, qsizetype count);

} // namespace miratos::platform
