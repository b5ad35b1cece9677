#include "platform/xml_document.h"

#include "platform/read_limits.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iconv.h>
#include <pugixml.hpp>
#include <string>
#include <utility>

namespace miratos::platform {

// The bytes of a file being parsed; names and values of the document point into them.
struct XmlTextBuffer {
    char* data = nullptr;
    size_t size = 0;

    explicit XmlTextBuffer(size_t capacity = 0) : data(static_cast<char*>(std::malloc(capacity ? capacity : 1))) {}
    XmlTextBuffer(XmlTextBuffer&& other) noexcept : data(std::exchange(other.data, nullptr)), size(other.size) {}
    XmlTextBuffer& operator=(XmlTextBuffer&& other) noexcept
    {
        std::swap(data, other.data);
        std::swap(size, other.size);
        return *this;
    }
    XmlTextBuffer(const XmlTextBuffer&) = delete;
    XmlTextBuffer& operator=(const XmlTextBuffer&) = delete;
    ~XmlTextBuffer() { std::free(data); }
};

struct XmlDocumentData {
    // The file's text, parsed in place: names and values point into it, so it goes last.
    XmlTextBuffer buffer;
    pugi::xml_document document;
    // Texts that had to be built (serialised elements); kept so that views stay valid as long as
    // the document.
    std::deque<std::string> built;

    std::string_view keep(std::string text)
    {
        built.push_back(std::move(text));
        return built.back();
    }
};

namespace {

// pcdata stays as written (no parse_escapes): the element-text rule hands references on as they
// stand. Text directly inside an element is kept in the element itself, which saves a node per
// coordinate in files of millions of them.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_wconv_attribute | pugi::parse_eol | pugi::parse_embed_pcdata;
constexpr qint64 kChunk = 8 << 20;

QString shown(const QString& name)
{
    return QDir::toNativeSeparators(name);
}

enum class XmlEncoding { Utf8, Cp932, Other };

// The encoding named in the XML declaration; a byte order mark or no declaration means the parser
// finds out itself (UTF-8 or UTF-16).
XmlEncoding declaredEncoding(std::string_view head, std::string* name)
{
    if (head.substr(0, 3) == "\xEF\xBB\xBF" || head.substr(0, 5) != "<?xml")
        return XmlEncoding::Other;
    const size_t end = head.find("?>");
    const std::string_view decl = head.substr(0, end);
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return XmlEncoding::Utf8;
    const size_t open = decl.find_first_of("\"'", at);
    if (open == std::string_view::npos)
        return XmlEncoding::Utf8;
    const size_t close = decl.find(decl[open], open + 1);
    std::string value(decl.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
    for (char& c : value)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    *name = value;
    if (value == "shift_jis" || value == "shift-jis" || value == "sjis" || value == "x-sjis" || value == "cp932"
        || value == "windows-31j" || value == "ms_kanji")
        return XmlEncoding::Cp932;
    if (value == "utf-8" || value == "us-ascii" || value == "ascii")
        return XmlEncoding::Utf8;
    return XmlEncoding::Other;
}

bool isCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Position of the first byte >= 0x80 at or after from, eight bytes at a time.
size_t nextNonAscii(const char* p, size_t from, size_t n)
{
    size_t i = from;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80)
        ++i;
    return i;
}

// CP932 to UTF-8. ASCII is copied as it is; only the runs of Japanese text go through iconv, so a
// file of coordinates converts at memory speed. A byte that is not CP932 becomes "〓" (U+3013), as in cp932.h.
Result<XmlTextBuffer> cp932ToUtf8(const char* in, size_t n, const std::function<void()>& yield)
{
    size_t nonAscii = 0;
    for (size_t i = nextNonAscii(in, 0, n); i < n; i = nextNonAscii(in, i + 1, n))
        ++nonAscii;
    XmlTextBuffer out{n + 2 * nonAscii + 1};
    if (!out.data)
        return Error{QStringLiteral("メモリが足りません")};
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Error{QStringLiteral("iconv に CP932 の変換がありません")};
    char* dst = out.data;
    size_t i = 0;
    size_t nextYield = kChunk;
    while (i < n) {
        const size_t j = nextNonAscii(in, i, n);
        std::memcpy(dst, in + i, j - i);
        dst += j - i;
        i = j;
        if (i >= n)
            break;
        size_t end = i;
        while (end < n && static_cast<unsigned char>(in[end]) >= 0x80)
            end += isCp932Lead(static_cast<unsigned char>(in[end])) && end + 1 < n ? 2 : 1;
        char* src = const_cast<char*>(in + i);
        size_t srcLeft = end - i;
        size_t dstLeft = out.data + n + 2 * nonAscii + 1 - dst;
        while (srcLeft > 0) {
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG || dstLeft < 3)
                break; // cannot happen: three bytes out per byte in always fit
            std::memcpy(dst, "\xE3\x80\x93", 3); // U+3013
            dst += 3;
            dstLeft -= 3;
            ++src;
            --srcLeft;
        }
        i = end;
        if (yield && i >= nextYield) {
            yield();
            nextYield = i + kChunk;
        }
    }
    iconv_close(cd);
    out.size = size_t(dst - out.data);
    return out;
}

QString parseProblem(const pugi::xml_parse_result& result, const char* buffer, size_t size)
{
    const size_t offset = std::min(size_t(result.offset), size);
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        if (buffer[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("XML として読めません（%1 行 %2 桁: %3）")
        .arg(line)
        .arg(offset - lineStart + 1)
        .arg(QString::fromUtf8(result.description()));
}

// Expands the predefined entities and character references; anything else stays as written.
std::string decodeReferences(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t semi = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 12) {
            out += text[i];
            continue;
        }
        const std::string_view ref = text.substr(i + 1, semi - i - 1);
        char32_t code = 0;
        if (ref == "amp")
            code = '&';
        else if (ref == "lt")
            code = '<';
        else if (ref == "gt")
            code = '>';
        else if (ref == "quot")
            code = '"';
        else if (ref == "apos")
            code = '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string digits(ref.substr(hex ? 2 : 1));
            char* endp = nullptr;
            const unsigned long v = std::strtoul(digits.c_str(), &endp, hex ? 16 : 10);
            if (!digits.empty() && *endp == 0 && v > 0 && v <= 0x10FFFF)
                code = char32_t(v);
        }
        if (code == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1).toStdString();
        i = semi;
    }
    return out;
}

// Attribute values are identifiers and references: they are compared expanded.
void expandAttributeReferences(pugi::xml_node node)
{
    for (pugi::xml_node n = node; n;) {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            if (std::strchr(a.value(), '&'))
                a.set_value(decodeReferences(a.value()).c_str());
        }
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling() && n != node)
            n = n.parent();
        if (!n || n == node)
            break;
        n = n.next_sibling();
    }
}

pugi::xml_node firstElementChild(pugi::xml_node n)
{
    pugi::xml_node c = n.first_child();
    while (c && c.type() != pugi::node_element)
        c = c.next_sibling();
    return c;
}

pugi::xml_node nextElementSibling(pugi::xml_node n)
{
    pugi::xml_node c = n.next_sibling();
    while (c && c.type() != pugi::node_element)
        c = c.next_sibling();
    return c;
}

void appendEscapedAttribute(std::string& out, const char* value)
{
    for (const char* p = value; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += *p;
        }
    }
}

void appendEndTag(std::string& out, pugi::xml_node element)
{
    out += "</";
    out += element.name();
    out += '>';
}

enum class Written { Open, Closed, Whole };

// Writes n: an element's start tag and its own text, then Open when its children follow (its end
// tag is written when the walk leaves it); Closed when an end tag was written; Whole otherwise.
Written appendNode(pugi::xml_node n, std::string& out)
{
    switch (n.type()) {
    case pugi::node_pcdata:
        out += n.value();
        return Written::Whole;
    case pugi::node_cdata:
        out += "<![CDATA[";
        out += n.value();
        out += "]]>";
        return Written::Whole;
    case pugi::node_element:
        break;
    default:
        return Written::Whole;
    }
    out += '<';
    out += n.name();
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        out += ' ';
        out += a.name();
        out += "=\"";
        appendEscapedAttribute(out, a.value());
        out += '"';
    }
    if (!*n.value() && !n.first_child()) {
        out += "/>";
        return Written::Whole;
    }
    out += '>';
    out += n.value(); // text kept in the element comes before its children
    if (n.first_child())
        return Written::Open;
    appendEndTag(out, n);
    return Written::Closed;
}

// Serialises the element root. The walk uses no recursion: a file may nest elements far deeper
// than the stack allows. With untilEndTag it stops after the first end tag written, which is all
// the element-text rule looks at (any earlier "</" stands before it).
void serialise(pugi::xml_node root, std::string& out, bool untilEndTag = false)
{
    pugi::xml_node n = root;
    for (;;) {
        const Written written = appendNode(n, out);
        if (written == Written::Open) {
            n = n.first_child();
            continue;
        }
        if (untilEndTag && written == Written::Closed)
            return;
        while (n != root && !n.next_sibling()) {
            n = n.parent();
            appendEndTag(out, n);
            if (untilEndTag)
                return;
        }
        if (n == root)
            return;
        n = n.next_sibling();
    }
}

std::string_view getText(std::string_view xml)
{
    const size_t p = xml.find('>');
    const size_t q = xml.find("</");
    if (p == std::string_view::npos || q == std::string_view::npos || q <= p)
        return {};
    return xml.substr(p + 1, q - p - 1);
}

// The text content of root with references expanded, walked without recursion.
void collectText(pugi::xml_node root, std::string& out)
{
    pugi::xml_node n = root;
    for (;;) {
        if (n.type() == pugi::node_element || n.type() == pugi::node_pcdata)
            out += decodeReferences(n.value());
        else if (n.type() == pugi::node_cdata)
            out += n.value();
        if (n.type() == pugi::node_element && n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != root && !n.next_sibling())
            n = n.parent();
        if (n == root)
            return;
        n = n.next_sibling();
    }
}

} // namespace

// ---- XmlNode

std::string_view XmlNode::name() const
{
    return m_node ? pugi::xml_node(m_node).name() : std::string_view();
}

std::string_view XmlNode::firstAttribute() const
{
    if (!m_node)
        return {};
    const pugi::xml_attribute a = pugi::xml_node(m_node).first_attribute();
    return a ? std::string_view(a.value()) : std::string_view();
}

XmlNode XmlNode::firstChild() const
{
    if (!m_node)
        return {};
    for (pugi::xml_node child = pugi::xml_node(m_node).first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return XmlNode(child.internal_object(), m_data);
    }
    return {};
}

QByteArray XmlNode::xml() const
{
    if (!m_node)
        return {};
    std::string out;
    serialise(pugi::xml_node(m_node), out);
    return QByteArray(out.data(), qsizetype(out.size()));
}

std::string_view XmlNode::text() const
{
    if (!m_node)
        return {};
    const pugi::xml_node n(m_node);
    // Only text, or nothing: the text as it stands (serialised attributes hold no ">").
    if (!n.first_child())
        return *n.value() ? std::string_view(n.value()) : std::string_view();
    std::string out;
    serialise(n, out, true);
    const std::string_view text = getText(out);
    return m_data->keep(std::string(text));
}

// ---- XmlSelection

XmlNode XmlSelection::next()
{
    while (m_next) {
        const pugi::xml_node node(m_next);
        if (!m_inside) {
            const char* name = node.name();
            if (std::strncmp(name, m_name.data(), m_name.size()) == 0 && name[m_name.size()] == 0)
                m_inside = m_next;
        }
        const bool give = m_inside != nullptr;

        // The next element in document order; leaving the named element's subtree ends its run.
        pugi::xml_node after = firstElementChild(node);
        for (pugi::xml_node up = node; !after;) {
            if (up.internal_object() == m_inside)
                m_inside = nullptr;
            after = nextElementSibling(up);
            if (after)
                break;
            up = up.parent();
            if (!up || up.internal_object() == m_root)
                break;
        }
        m_next = after.internal_object();
        if (give)
            return XmlNode(node.internal_object(), m_data);
    }
    return {};
}

// ---- XmlDocument

XmlDocument::XmlDocument() : m_data(std::make_unique<XmlDocumentData>()) {}
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;
XmlDocument::~XmlDocument() = default;

namespace {

// Parses the file's bytes (in raw, which is given up) into data.
Status parseInto(XmlDocumentData& data, XmlTextBuffer raw, const QString& name, const std::function<void()>& yield)
{
    std::string encodingName;
    const XmlEncoding encoding = declaredEncoding(std::string_view(raw.data, std::min<size_t>(raw.size, 256)), &encodingName);
    if (encoding == XmlEncoding::Other && !encodingName.empty() && encodingName != "utf-16" && encodingName != "iso-8859-1")
        return Error{shown(name) + QStringLiteral(": 文字コード %1 には対応していません").arg(QString::fromStdString(encodingName))};
    if (encoding == XmlEncoding::Cp932) {
        auto converted = cp932ToUtf8(raw.data, raw.size, yield);
        if (!converted)
            return Error{shown(name) + QStringLiteral(": ") + converted.error()};
        raw = std::move(*converted);
    }
    const bool hasReference = std::memchr(raw.data, '&', raw.size) != nullptr;
    data.buffer = std::move(raw);
    const pugi::xml_parse_result result =
        data.document.load_buffer_inplace(data.buffer.data, data.buffer.size, kParseOptions,
                                          encoding == XmlEncoding::Other ? pugi::encoding_auto : pugi::encoding_utf8);
    if (!result)
        return Error{shown(name) + QStringLiteral(": ") + parseProblem(result, data.buffer.data, data.buffer.size)};
    if (hasReference)
        expandAttributeReferences(data.document);
    return {};
}

} // namespace

Result<XmlDocument> XmlDocument::load(const QString& path, const std::function<void()>& yield)
{
    QFile file;
    if (Status s = openForReading(file, path); !s)
        return Error{s.error()};
    ReadingFile reading(path);
    const qint64 size = file.size();
    XmlTextBuffer raw{size_t(size)};
    if (!raw.data)
        return Error{QStringLiteral("%1 を読むメモリが足りません").arg(shown(path))};
    while (qint64(raw.size) < size) {
        const qint64 got = file.read(raw.data + raw.size, std::min(kChunk, size - qint64(raw.size)));
        if (got <= 0)
            return Error{QStringLiteral("%1 を読めません: %2").arg(shown(path), file.errorString())};
        raw.size += size_t(got);
        if (yield)
            yield();
    }
    XmlDocument doc;
    if (Status s = parseInto(*doc.m_data, std::move(raw), path, yield); !s)
        return Error{s.error()};
    return doc;
}

Result<XmlDocument> XmlDocument::parse(QByteArray bytes, const QString& name)
{
    XmlTextBuffer raw{size_t(bytes.size())};
    std::memcpy(raw.data, bytes.constData(), size_t(bytes.size()));
    raw.size = size_t(bytes.size());
    bytes = QByteArray();
    XmlDocument doc;
    if (Status s = parseInto(*doc.m_data, std::move(raw), name, {}); !s)
        return Error{s.error()};
    return doc;
}

XmlSelection XmlDocument::selectNodes(std::string_view expression) const
{
    pugi::xml_node_struct* root = m_data->document.internal_object();
    if (expression.size() < 5 || expression.substr(0, 2) != "//" || expression.substr(expression.size() - 2) != "//")
        return XmlSelection(nullptr, root, {}, m_data.get());
    const std::string_view name = expression.substr(2, expression.size() - 4);
    if (name.find('/') != std::string_view::npos)
        return XmlSelection(nullptr, root, {}, m_data.get());
    return XmlSelection(firstElementChild(m_data->document).internal_object(), root, name, m_data.get());
}

std::optional<QString> XmlDocument::firstElementText(std::string_view name) const
{
    const std::string wanted(name);
    const pugi::xml_node found = m_data->document.find_node([&](pugi::xml_node n) {
        return n.type() == pugi::node_element && wanted == n.name();
    });
    if (!found)
        return std::nullopt;
    std::string text;
    collectText(found, text);
    return QString::fromUtf8(text.data(), qsizetype(text.size())).trimmed();
}

QString GetText(const QString& xmlText)
{
    const qsizetype p = xmlText.indexOf(QLatin1Char('>'));
    const qsizetype q = xmlText.indexOf(QLatin1String("</"));
    if (p < 0 || q <= p)
        return QString();
    return xmlText.mid(p + 1, q - p - 1);
}

} // namespace miratos::platform
