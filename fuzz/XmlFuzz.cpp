// Any bytes as an XML text: reading must end in a tree or in one of the reader's own
// exceptions, never in a crash, a hang or an unbounded allocation. Walking the tree
// touches every node, so a dangling pointer left by the reader shows up here.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xml/XmlReader.h"

namespace {

std::size_t walk(const AdvXMLParser::XmlElement& root) {
    std::size_t bytes = 0;
    std::vector<const AdvXMLParser::XmlElement*> pending{&root};
    while (!pending.empty()) {
        const AdvXMLParser::XmlElement& element = *pending.back();
        pending.pop_back();
        for (const auto& attribute : element.Attributes()) {
            bytes += attribute->NodeName().size() + attribute->Value().size();
        }
        for (const auto& child : element.Children()) {
            bytes += child->NodeName().size() + child->Value().size();
            if (child->IsKind(AdvXMLParser::kElementNode)) {
                pending.push_back(static_cast<const AdvXMLParser::XmlElement*>(child.get()));
            }
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto document = AdvXMLParser::Parse(reinterpret_cast<const char*>(data), size);
        volatile std::size_t bytes = walk(document->Root());
        (void)bytes;
    } catch (const AdvXMLParser::Exception&) {
        // Rejected texts are the common case.
    }
    return 0;
}
