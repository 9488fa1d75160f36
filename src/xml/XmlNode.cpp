#include "xml/XmlNode.h"

#include <iterator>

#include "xml/XmlDocument.h"

namespace AdvXMLParser {

XmlNode::XmlNode(int kind, std::string name, std::string value)
    : m_name(std::move(name)), m_value(std::move(value)), m_kind(kind) {}

XmlNode::~XmlNode() = default;

XmlAttribute::XmlAttribute(std::string name, std::string value)
    : XmlNode(kAttributeNode, std::move(name), std::move(value)) {}

XmlElement::XmlElement(std::string name) : XmlNode(kElementNode, std::move(name)) {}

XmlElement::~XmlElement() {
    // Shallow trees are destroyed the ordinary way; below this depth the subtree is
    // flattened into one work list, so every element is destroyed with no children left
    // and the call depth stays bounded whatever the nesting.
    constexpr int kRecursiveDepth = 64;
    static thread_local int depth = 0;
    if (depth < kRecursiveDepth) {
        ++depth;
        m_children.clear();
        --depth;
        return;
    }
    std::vector<std::unique_ptr<XmlNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->IsKind(kElementNode)) {
            auto& children = static_cast<XmlElement&>(*node).m_children;
            std::move(children.begin(), children.end(), std::back_inserter(pending));
            children.clear();
        }
    }
}

const XmlNode* XmlElement::FindNode(std::string_view name, int index, int kind) const {
    for (const auto& child : m_children) {
        if (child->IsKind(kind) && child->NodeName() == name && index-- == 0) {
            return child.get();
        }
    }
    return nullptr;
}

const XmlElement& XmlElement::FindChild(std::string_view name, int index, int kind) const {
    if (kind != kElementNode) {
        return NullElement();
    }
    const XmlNode* node = FindNode(name, index, kind);
    return node ? static_cast<const XmlElement&>(*node) : NullElement();
}

const XmlAttribute& XmlElement::FindAttribute(std::string_view name) const {
    for (const auto& attribute : m_attributes) {
        if (attribute->NodeName() == name) {
            return *attribute;
        }
    }
    return NullAttribute();
}

const XmlElement& NullElement() {
    static const XmlElement instance{std::string()};
    return instance;
}

const XmlAttribute& NullAttribute() {
    static const XmlAttribute instance{std::string(), std::string()};
    return instance;
}

XmlDocument::XmlDocument() : XmlNode(kDocumentNode, "#document") {}

XmlDocument::~XmlDocument() = default;

const XmlEntityDeclaration* XmlDocumentType::FindEntity(std::string_view name,
                                                        bool parameter) const {
    for (const auto& entity : m_entities) {
        if (entity->parameter == parameter && entity->name == name) {
            return entity.get();
        }
    }
    return nullptr;
}

}  // namespace AdvXMLParser
