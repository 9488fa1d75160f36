#include "timeline/ParameterSet.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "log/Log.h"
#include "platform/NameHash.h"
#include "script/TextNumbers.h"

namespace vesta {
namespace {

// "%f,%f,%f": each number may follow white space, each comma must follow
// its number at once; what the text does not give stays 0.
ParameterVector readVector(std::string_view text) {
    ParameterVector vector;
    float* const components[] = {&vector.x, &vector.y, &vector.z};
    for (std::size_t i = 0; i < 3; ++i) {
        std::size_t consumed = 0;
        const float value = ParseFloatPrefix(text, &consumed);
        if (consumed == 0) {
            break;
        }
        *components[i] = value;
        text.remove_prefix(consumed);
        if (text.empty() || text.front() != ',') {
            break;
        }
        text.remove_prefix(1);
    }
    return vector;
}

void store(ParameterType type, void* member, std::string_view value) {
    switch (type) {
    case ParameterType::Int:
        *static_cast<std::int32_t*>(member) = ParseIntPrefix(value);
        break;
    case ParameterType::Float:
        *static_cast<float*>(member) = ParseFloatPrefix(value);
        break;
    case ParameterType::Text:
        static_cast<std::string*>(member)->assign(value);
        break;
    case ParameterType::Bool:
        *static_cast<bool*>(member) = value == "Yes";
        break;
    case ParameterType::Vector:
        *static_cast<ParameterVector*>(member) = readVector(value);
        break;
    }
}

// The shortest text that reads back as the same float.
std::string floatText(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string load(ParameterType type, const void* member) {
    switch (type) {
    case ParameterType::Int:
        return std::to_string(*static_cast<const std::int32_t*>(member));
    case ParameterType::Float:
        return floatText(*static_cast<const float*>(member));
    case ParameterType::Text:
        return *static_cast<const std::string*>(member);
    case ParameterType::Bool:
        return *static_cast<const bool*>(member) ? "Yes" : "No";
    case ParameterType::Vector: {
        const auto& vector = *static_cast<const ParameterVector*>(member);
        return floatText(vector.x) + "," + floatText(vector.y) + "," + floatText(vector.z);
    }
    }
    return {};
}

}  // namespace

bool CParameterSet::Set(std::string_view name, std::string_view value) {
    const auto typed = m_typed.find(NameHash(name));
    if (typed != m_typed.end()) {
        store(typed->second.type, typed->second.member, value);
        if (typed->second.onChange) {
            typed->second.onChange();
        }
        return true;
    }
    if (!m_strict) {
        return false;
    }
    const auto accessor = m_accessors.find(name);
    if (accessor != m_accessors.end() && accessor->second.setter) {
        return accessor->second.setter(value);
    }
    raiseUnknown(name);
}

std::optional<ParameterInfo> CParameterSet::Lookup(std::string_view name) const {
    const auto typed = m_typed.find(NameHash(name));
    if (typed != m_typed.end()) {
        return ParameterInfo{typed->second.name, typed->second.type, false};
    }
    const auto accessor = m_accessors.find(name);
    if (!m_strict || accessor == m_accessors.end() || !accessor->second.setter) {
        return std::nullopt;
    }
    return ParameterInfo{accessor->first, accessor->second.readsAs, true};
}

std::vector<std::string> CParameterSet::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : m_accessors) {
        names.push_back(entry.first);
    }
    for (const auto& entry : m_typed) {
        names.push_back(entry.second.name);
    }
    return names;
}

std::optional<std::string> CParameterSet::GetAccessorText(std::string_view name) const {
    const auto accessor = m_accessors.find(name);
    if (accessor == m_accessors.end() || !accessor->second.getter) {
        return std::nullopt;
    }
    return accessor->second.getter();
}

std::optional<std::string> CParameterSet::ValueText(std::string_view name) const {
    const auto typed = m_typed.find(NameHash(name));
    if (typed != m_typed.end()) {
        return load(typed->second.type, typed->second.member);
    }
    return GetAccessorText(name);
}

void CParameterSet::raiseUnknown(std::string_view name) const {
    std::string available;
    for (const auto& [accessorName, accessor] : m_accessors) {
        available += " - " + accessorName + "\r\n";
    }
    for (const auto& [key, typed] : m_typed) {
        available += " - " + typed.name + "\r\n";
    }
    RaiseError("Layer [%s]\r\nCould not find Parameter [%s]\r\n Available are : \r\n%s",
               Describe().c_str(), std::string(name).c_str(), available.c_str());
}

void CParameterSet::AddIntParameter(std::string_view name, std::int32_t* member,
                                    ChangeHandler onChange) {
    addTyped(name, ParameterType::Int, member, std::move(onChange));
}

void CParameterSet::AddFloatParameter(std::string_view name, float* member,
                                      ChangeHandler onChange) {
    addTyped(name, ParameterType::Float, member, std::move(onChange));
}

void CParameterSet::AddTextParameter(std::string_view name, std::string* member,
                                     ChangeHandler onChange) {
    addTyped(name, ParameterType::Text, member, std::move(onChange));
}

void CParameterSet::AddBoolParameter(std::string_view name, bool* member, ChangeHandler onChange) {
    addTyped(name, ParameterType::Bool, member, std::move(onChange));
}

void CParameterSet::AddVectorParameter(std::string_view name, ParameterVector* member,
                                       ChangeHandler onChange) {
    addTyped(name, ParameterType::Vector, member, std::move(onChange));
}

void CParameterSet::AddAccessorParameter(int identifier, Getter getter, Setter setter,
                                         std::string_view name,
                                         std::optional<ParameterType> readsAs) {
    requireNewName(name);
    m_accessors.emplace(std::string(name),
                        Accessor{identifier, std::move(getter), std::move(setter), readsAs});
}

void CParameterSet::addTyped(std::string_view name, ParameterType type, void* member,
                             ChangeHandler onChange) {
    requireNewName(name);
    m_typed.emplace(NameHash(name), Typed{std::string(name), type, member, std::move(onChange)});
}

// A clash is a fault of the effect's own code, never of a script. (Describe
// is no help here: registration runs inside constructors.)
void CParameterSet::requireNewName(std::string_view name) const {
    const auto typed = m_typed.find(NameHash(name));
    if (typed == m_typed.end() && m_accessors.find(name) == m_accessors.end()) {
        return;
    }
    const std::string clash = typed != m_typed.end() ? typed->second.name : std::string(name);
    std::fprintf(stderr, "vesta: fatal: parameter [%.*s] clashes with [%s]\n",
                 static_cast<int>(name.size()), name.data(), clash.c_str());
    std::abort();
}

}  // namespace vesta
