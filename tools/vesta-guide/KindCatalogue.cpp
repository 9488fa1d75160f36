#include "KindCatalogue.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "app/CheckFiles.h"
#include "render/RecordingModule.h"
#include "script/TextNumbers.h"
#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta::guide {
namespace {

std::string typeWords(std::string_view kind, const ParameterInfo& info) {
    if (const FileRole* role = ParameterFileRole(kind, info.name);
        role && (!info.type || *info.type == ParameterType::Text)) {
        switch (*role) {
        case FileRole::Picture:
            return "picture";
        case FileRole::PictureList:
            return "pictures, by commas";
        case FileRole::Model:
            return "model file";
        case FileRole::Sound:
            return "sound file";
        case FileRole::Text:
            return "text file";
        }
    }
    switch (info.type.value_or(ParameterType::Text)) {
    case ParameterType::Int:
        return "integer";
    case ParameterType::Float:
        return "number";
    case ParameterType::Text:
        return "text";
    case ParameterType::Bool:
        return "Yes / No";
    case ParameterType::Vector:
        return "x,y,z";
    }
    return "text";
}

// Accessors print their numbers each in their own way ("1.00"); the
// reference writes every number alike, as short as it reads back.
std::string numberText(std::string_view text) {
    std::size_t consumed = 0;
    const float value = ParseFloatPrefix(text, &consumed);
    if (consumed == 0 || consumed != text.size()) {
        return std::string(text);
    }
    char shortest[32];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
    return std::string(shortest, end);
}

KindEntry describe(std::string_view kind, const CParameterSet& set) {
    KindEntry entry{std::string(kind), {}};
    for (const std::string& name : set.Names()) {
        const std::optional<ParameterInfo> info = set.Lookup(name);
        if (!info) {
            continue;  // read-only: a script cannot set it
        }
        std::string value = set.ValueText(name).value_or("");
        if (info->type == ParameterType::Float || info->type == ParameterType::Int) {
            value = numberText(value);
        }
        entry.parameters.push_back({name, typeWords(kind, *info), value});
    }
    std::sort(entry.parameters.begin(), entry.parameters.end(),
              [](const ParameterEntry& a, const ParameterEntry& b) { return a.name < b.name; });
    return entry;
}

}  // namespace

std::vector<KindEntry> CatalogueKinds(Family family) {
    RecordingModule module;
    const std::vector<CLayerOperation> noChildren;
    std::vector<KindEntry> kinds;
    if (family == Family::Layer) {
        CLayerFactory& factory = CLayerFactory::Instance();
        for (const std::string& kind : factory.NamesInRegistrationOrder()) {
            kinds.push_back(describe(kind, *factory.CreateLayer(&module, &noChildren, kind)));
        }
    } else {
        CModifierFactory& factory = CModifierFactory::Instance();
        for (const std::string& kind : factory.NamesInRegistrationOrder()) {
            kinds.push_back(
                describe(kind, *factory.CreateModifier(nullptr, &module, nullptr, kind)));
        }
    }
    return kinds;
}

}  // namespace vesta::guide
