#pragma once
// What a document's <!DOCTYPE> declared. Element declarations are checked for their
// syntax only (the reader does not validate); attribute-list declarations give their
// defaults to the elements as they are read and are not kept here.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace AdvXMLParser {

namespace detail {
class Parser;
}

struct XmlEntityDeclaration {
    std::string name;
    // Replacement text of an internal entity: character references are already
    // replaced, entity references are kept as written until the entity is used.
    std::string value;
    std::string publicId;
    std::string systemId;
    std::string notation;  // NDATA name of an unparsed entity
    bool parameter = false;
    bool internal = true;
};

struct XmlNotationDeclaration {
    std::string name;
    std::string publicId;
    std::string systemId;
};

class XmlDocumentType {
public:
    const std::string& Name() const { return m_name; }
    const std::string& PublicId() const { return m_publicId; }
    const std::string& SystemId() const { return m_systemId; }
    // In declaration order; a name declared twice keeps its first declaration only.
    const std::vector<std::unique_ptr<XmlEntityDeclaration>>& Entities() const {
        return m_entities;
    }
    const std::vector<XmlNotationDeclaration>& Notations() const { return m_notations; }
    // The general (or parameter) entity declaration of that name; nullptr when none.
    const XmlEntityDeclaration* FindEntity(std::string_view name, bool parameter = false) const;

private:
    friend class detail::Parser;

    std::string m_name;
    std::string m_publicId;
    std::string m_systemId;
    std::vector<std::unique_ptr<XmlEntityDeclaration>> m_entities;
    std::vector<XmlNotationDeclaration> m_notations;
};

}  // namespace AdvXMLParser
