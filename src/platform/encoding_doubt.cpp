#include "platform/encoding_doubt.h"

#include <QStringDecoder>

namespace miratos::platform {
namespace {

bool startsWithBom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

bool hasNonAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

// Valid UTF-8 that holds at least one character of three bytes (kana, kanji): Japanese text in
// CP932 is almost never that.
bool looksLikeJapaneseUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    for (QChar c : text) {
        if (c.unicode() >= 0x0800)
            return true;
    }
    return false;
}

} // namespace

QString encodingDoubt(QByteArrayView bytes, TextEncoding used)
{
    if (startsWithBom(bytes) || !hasNonAscii(bytes))
        return {};
    if (used == TextEncoding::Cp932) {
        if (looksLikeJapaneseUtf8(bytes))
            return QStringLiteral("CP932 として読みました。UTF-8 で保存されたファイルかもしれません");
        return {};
    }
    // Taken for UTF-8 although nothing in it is kana or kanji there, while it reads as CP932
    // without a fault: half-width kana in CP932 happen to form such UTF-8.
    qsizetype invalid = 0;
    fromCp932(bytes, &invalid);
    if (invalid == 0 && !looksLikeJapaneseUtf8(bytes))
        return QStringLiteral("UTF-8 として読みました。CP932（シフト JIS）で保存されたファイルかもしれません");
    return {};
}

} // namespace miratos::platform
