#include "scene/SceneObject.h"

namespace vesta {
namespace {

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

void C3DObject::SetUserText(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 2);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimBlanks(line.substr(0, equals));
        const std::string_view value = trimBlanks(line.substr(equals + 1));
        if (!key.empty() && !value.empty()) {
            SetParameter(key, value);
        }
    }
}

void C3DObject::SetParameter(std::string_view name, std::string_view value) {
    userParameters.push_back({std::string(name), std::string(value)});
}

void C3DObject::AttachChild(C3DObject* child) {
    child->parent = this;
    children.push_back(child);
}

}  // namespace vesta
