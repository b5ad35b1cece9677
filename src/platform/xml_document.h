#pragma once
// Whole XML files as a document tree, with the few operations the converters read government data
// through: elements selected by name in document order together with everything beneath them, an
// element's name as written, its first attribute, and its text as the element-text rule takes it
// from the serialised element (character and entity references stay as written).
//
// The government files are Shift_JIS; a file that declares Shift_JIS (or CP932, Windows-31J) is
// converted to UTF-8 before parsing, so every name and text here is UTF-8. Views returned by nodes
// point into the document and stay valid as long as the document lives.
#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace pugi {
struct xml_node_struct;
}

namespace miratos::platform {

class XmlDocument;
struct XmlDocumentData;

class XmlNode {
public:
    XmlNode() = default;

    bool isNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }

    // The element name as written, prefix included ("jps:GM_Point", "DirectPosition.coordinate").
    std::string_view name() const;
    // The value of the element's first attribute (references expanded); empty when it has none.
    std::string_view firstAttribute() const;
    // The element serialised as XML text: "<name attr="v">content</name>", or "<name attr="v"/>"
    // when it holds nothing. Content is written as it stands in the file.
    QByteArray xml() const;
    // GetText of xml(): what stands between the first ">" and the first "</". Elements holding
    // only text are answered without serialising.
    std::string_view text() const;
    // The first child element, or a null node.
    XmlNode firstChild() const;

private:
    friend class XmlSelection;
    friend class XmlDocument;
    XmlNode(pugi::xml_node_struct* node, XmlDocumentData* data) : m_node(node), m_data(data) {}

    pugi::xml_node_struct* m_node = nullptr;
    XmlDocumentData* m_data = nullptr;
};

// The nodes of "//" + name + "//": in document order, each element of that name followed by every
// element beneath it, then the next element of that name. An element of that name inside another
// comes once, as a descendant.
class XmlSelection {
public:
    // The next node, or a null node at the end.
    XmlNode next();

    class iterator {
    public:
        iterator() = default;
        explicit iterator(XmlSelection* selection) : m_selection(selection), m_node(selection->next()) {}
        XmlNode operator*() const { return m_node; }
        iterator& operator++()
        {
            m_node = m_selection->next();
            return *this;
        }
        bool operator==(const iterator& other) const { return m_node.m_node == other.m_node.m_node; }

    private:
        XmlSelection* m_selection = nullptr;
        XmlNode m_node;
    };
    iterator begin() { return iterator(this); }
    iterator end() { return iterator(); }

private:
    friend class XmlDocument;
    XmlSelection(pugi::xml_node_struct* first, pugi::xml_node_struct* root, std::string_view name, XmlDocumentData* data)
        : m_next(first), m_root(root), m_name(name), m_data(data)
    {
    }

    pugi::xml_node_struct* m_next = nullptr;  // the next element to look at
    pugi::xml_node_struct* m_root = nullptr;  // the document node
    pugi::xml_node_struct* m_inside = nullptr; // the named element whose subtree is being given
    std::string_view m_name;
    XmlDocumentData* m_data = nullptr;
};

class XmlDocument {
public:
    // Reads and parses a whole file. yield is called between chunks of reading and converting, so a
    // window stays responsive; parsing itself is one step. Errors name the file (and the line and
    // column where parsing stopped).
    static Result<XmlDocument> load(const QString& path, const std::function<void()>& yield = {});
    // Parses bytes; name is used in error messages.
    static Result<XmlDocument> parse(QByteArray bytes, const QString& name);

    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    // expression is "//" + element name + "//"; any other form selects nothing. The name is
    // compared as an exact string, prefix included.
    XmlSelection selectNodes(std::string_view expression) const;

    // The text content of the first element of that name in document order (references expanded,
    // blanks around it removed), or nothing when there is no such element.
    std::optional<QString> firstElementText(std::string_view name) const;

private:
    XmlDocument();
    std::unique_ptr<XmlDocumentData> m_data;
};

// The element-text rule: p = position of the first ">", q = position of the first "</"; the text
// between them when q > p, otherwise empty text.
QString GetText(const QString& xmlText);

} // namespace miratos::platform
