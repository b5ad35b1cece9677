// The XML document the converters read government data through: parsing (Shift_JIS converted
// first), selection by name, names, first attributes, serialised elements and the element-text
// rule.
#include "fuzz_support.h"
#include "platform/xml_document.h"

using namespace miratos;
using namespace miratos::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto doc = platform::XmlDocument::parse(FUZZ_INPUT.toByteArray(), QStringLiteral("input.xml"));
    if (!doc)
        return 0;
    static const char* const names[] = {"//a//", "//jps:GM_Point//", "//DirectPosition.coordinate//", "//ksj:Dataset//",
                                        "//gml:posList//", "//x//"};
    for (const char* name : names) {
        int seen = 0;
        platform::XmlSelection selection = doc->selectNodes(name);
        for (platform::XmlNode node = selection.next(); node && seen < 2000; node = selection.next(), ++seen) {
            (void)node.name();
            (void)node.firstAttribute();
            (void)platform::GetText(QString::fromUtf8(node.xml()));
            (void)node.text();
        }
    }
    return 0;
}
