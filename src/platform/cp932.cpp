#include "platform/cp932.h"

#include <QDir>
#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace miratos::platform {
namespace {

struct IconvCloser {
    void operator()(iconv_t* cd) const
    {
        iconv_close(*cd);
        delete cd;
    }
};
using IconvHandle = std::unique_ptr<iconv_t, IconvCloser>;

IconvHandle openIconv(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return IconvHandle(new iconv_t(cd));
}

constexpr char kBom[] = "\xEF\xBB\xBF";

bool hasBom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kBom, 3));
}

} // namespace

QString fromCp932(QByteArrayView bytes, qsizetype* invalid)
{
    if (invalid)
        *invalid = 0;
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes); // ASCII is the same in CP932: no buffer three times the size
    IconvHandle cd = openIconv("UTF-8", "CP932");
    if (!cd)
        return QString::fromLatin1(bytes);
    QByteArray out;
    out.resize(bytes.size() * 3 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(*cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: three output bytes per input byte always suffice
        // Invalid or cut-off sequence: replace one byte with the mark and go on.
        static const char replacement[] = "\xE3\x80\x93"; // U+3013 in UTF-8
        if (outLeft < 3)
            break;
        memcpy(dst, replacement, 3);
        dst += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        if (invalid)
            ++*invalid;
    }
    out.resize(dst - out.data());
    return QString::fromUtf8(out);
}

QByteArray cleanCp932(QByteArrayView bytes, qsizetype* invalid)
{
    if (invalid)
        *invalid = 0;
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return bytes.toByteArray();
    IconvHandle cd = openIconv("UTF-8", "CP932");
    QByteArray out;
    out.reserve(bytes.size() + 8);
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += char(c);
            ++i;
            continue;
        }
        // The longest of one or two bytes that iconv decodes as one character.
        qsizetype length = 0;
        for (qsizetype n : {qsizetype(2), qsizetype(1)}) {
            if (!cd || i + n > bytes.size())
                continue;
            char buffer[8];
            char* in = const_cast<char*>(bytes.data() + i);
            size_t inLeft = size_t(n);
            char* dst = buffer;
            size_t outLeft = sizeof buffer;
            iconv(*cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(*cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 && dst - buffer <= 3 &&
                (dst - buffer) > 1) {
                length = n;
                break;
            }
        }
        if (length == 0) {
            out += "\x81\xAC";
            if (invalid)
                ++*invalid;
            ++i;
        } else {
            out.append(bytes.data() + i, length);
            i += length;
        }
    }
    return out;
}

Result<QByteArray> toCp932(const QString& text)
{
    IconvHandle cd = openIconv("CP932", "UTF-8");
    if (!cd)
        return Error{QStringLiteral("iconv has no CP932 converter")};
    QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.resize(utf8.size() + 16);
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    if (iconv(*cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
        const qsizetype at = in - utf8.data();
        const QString rest = QString::fromUtf8(utf8.mid(at));
        const QString bad = rest.left(!rest.isEmpty() && rest.at(0).isHighSurrogate() ? 2 : 1);
        return Error{QStringLiteral("「%1」(U+%2) は CP932 で書けない文字です")
                         .arg(bad)
                         .arg(bad.isEmpty() ? 0u : bad.toUcs4().value(0), 4, 16, QLatin1Char('0'))};
    }
    out.resize(dst - out.data());
    return out;
}

QString withCp932Marks(const QString& text, qsizetype* replaced)
{
    if (replaced)
        *replaced = 0;
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text;
    // One converter per thread: an import asks this for every value of every record.
    thread_local IconvHandle cd = openIconv("CP932", "UTF-8");
    if (!cd)
        return text;
    auto fits = [](iconv_t handle, QByteArray utf8) {
        char buffer[64];
        char* in = utf8.data();
        size_t inLeft = static_cast<size_t>(utf8.size());
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* dst = buffer;
            size_t outLeft = sizeof buffer;
            if (iconv(handle, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    };
    if (fits(*cd, text.toUtf8()))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, n);
        if (fits(*cd, one.toUtf8())) {
            out += one;
        } else {
            out += QChar(kInvalidByteMark);
            if (replaced)
                ++*replaced;
        }
        i += n;
    }
    return out;
}

QString cp932MarksNote(const QString& firstRecord, qsizetype count)
{
    return QStringLiteral("CP932 で書けない文字が %1 文字あり、「〓」と書きました（最初は %2）").arg(count).arg(firstRecord);
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    return hasBom(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

TextEncoding guessEncoding(QByteArrayView bytes)
{
    if (hasBom(bytes))
        return TextEncoding::Utf8;
    bool nonAscii = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii)
        return TextEncoding::Cp932;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes); // the decoder is lazy: convert to run it
    return decoder.hasError() ? TextEncoding::Cp932 : TextEncoding::Utf8;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype* invalid)
{
    if (encoding != TextEncoding::Utf8)
        return fromCp932(bytes, invalid);
    QString text = QString::fromUtf8(hasBom(bytes) ? bytes.sliced(3) : bytes);
    qsizetype count = 0;
    for (QChar& c : text) {
        if (c == QChar::ReplacementCharacter) {
            c = QChar(kInvalidByteMark);
            ++count;
        }
    }
    if (invalid)
        *invalid = count;
    return text;
}

bool isUtf16(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView("\xFF\xFE", 2)) || bytes.startsWith(QByteArrayView("\xFE\xFF", 2));
}

QString utf16Refusal(const QString& path)
{
    return QStringLiteral("%1 は UTF-16 のため読めません（CP932 か UTF-8 で保存してください）").arg(QDir::toNativeSeparators(path));
}

QString invalidBytesNote(const QString& path, qsizetype count)
{
    return QStringLiteral("%1 には文字として読めないバイトが %2 個あり、「〓」として読みました")
        .arg(QDir::toNativeSeparators(path))
        .arg(count);
}

} // namespace miratos::platform
