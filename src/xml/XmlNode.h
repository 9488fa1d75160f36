#pragma once
// The document tree: every node has a name, a value and a DOM kind number.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace AdvXMLParser {

inline constexpr int kElementNode = 1, kAttributeNode = 2, kTextNode = 3, kCDataNode = 4,
                     kReferenceNode = 5, kProcessingInstructionNode = 7, kCommentNode = 8,
                     kDocumentNode = 9;

namespace detail {
class Parser;
}

// Text, CDATA, comment, processing-instruction and unexpanded reference nodes are
// plain XmlNodes; elements, attributes and the document have classes of their own.
class XmlNode {
public:
    XmlNode(int kind, std::string name, std::string value = {});
    virtual ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    const std::string& NodeName() const { return m_name; }
    const std::string& Value() const { return m_value; }
    int Kind() const { return m_kind; }
    bool IsKind(int kind) const { return m_kind == kind; }

private:
    friend class detail::Parser;

    std::string m_name;
    std::string m_value;
    int m_kind;
};

class XmlAttribute : public XmlNode {
public:
    XmlAttribute(std::string name, std::string value);
};

class XmlElement : public XmlNode {
public:
    explicit XmlElement(std::string name);
    // Children are released without recursion, so any nesting depth can be destroyed.
    ~XmlElement() override;

    // The index-th child element named `name`; NullElement() when there is none, and
    // always for a kind other than kElementNode (use FindNode for those).
    const XmlElement& FindChild(std::string_view name, int index = 0,
                                int kind = kElementNode) const;
    // The index-th child of any kind named `name` (text is "#text", comments
    // "#comment"); nullptr when there is none.
    const XmlNode* FindNode(std::string_view name, int index = 0, int kind = kElementNode) const;
    const XmlAttribute& FindAttribute(std::string_view name) const;

    const std::vector<std::unique_ptr<XmlNode>>& Children() const { return m_children; }
    const std::vector<std::unique_ptr<XmlAttribute>>& Attributes() const { return m_attributes; }
    bool PreserveSpace() const { return m_preserveSpace; }

private:
    friend class detail::Parser;

    std::vector<std::unique_ptr<XmlNode>> m_children;
    std::vector<std::unique_ptr<XmlAttribute>> m_attributes;
    bool m_preserveSpace = false;
};

// The shared empty objects that failed lookups return; compare addresses to test
// for "not found".
const XmlElement& NullElement();
const XmlAttribute& NullAttribute();

}  // namespace AdvXMLParser
