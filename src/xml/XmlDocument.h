#pragma once

#include "xml/XmlDocumentType.h"
#include "xml/XmlNode.h"

namespace AdvXMLParser {

class XmlDocument : public XmlNode {
public:
    XmlDocument();
    ~XmlDocument() override;

    // NullElement() until a root element has been read.
    const XmlElement& Root() const { return m_root ? *m_root : NullElement(); }
    // The XML declaration's values; "1.0", "UTF-8" and "" when not declared.
    const std::string& Version() const { return m_version; }
    const std::string& Encoding() const { return m_encoding; }
    const std::string& Standalone() const { return m_standalone; }

    bool HasDocumentType() const { return m_hasDocumentType; }
    const XmlDocumentType& DocumentType() const { return m_documentType; }
    // Top-level comments, processing instructions (those of the document type
    // declaration included) and the root element, in order.
    const std::vector<std::unique_ptr<XmlNode>>& Children() const { return m_children; }

private:
    friend class detail::Parser;

    std::string m_version = "1.0";
    std::string m_encoding = "UTF-8";
    std::string m_standalone;
    bool m_hasDocumentType = false;
    XmlDocumentType m_documentType;
    std::vector<std::unique_ptr<XmlNode>> m_children;
    const XmlElement* m_root = nullptr;
};

}  // namespace AdvXMLParser
