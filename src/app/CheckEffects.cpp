#include "app/CheckEffects.h"

#include <map>
#include <memory>
#include <optional>

#include "app/CheckFiles.h"
#include "app/NearestWord.h"
#include "app/ValueCheck.h"
#include "render/RecordingModule.h"
#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta {
namespace {

struct ValueRange {
    const char* kind;  // nullptr: every layer kind
    const char* parameter;
    int low;
    int high;
};

// What each kind's routine tables and blending hold; other values are
// refused or fall back without a word.
constexpr ValueRange kRanges[] = {
    {"GFXLayer", "Effect", 0, 8},     {"AnimGFXLayer", "Effect", 0, 2},
    {"InfiniteZoom", "Effect", 0, 1}, {"ParticlesLayer", "Effect", 0, 6},
    {"RayLayer", "Effect", 0, 1},     {"StarField", "Effect", 0, 1},
    {"TextLayer", "Effect", 0, 2},    {nullptr, "AlphaType", 0, 1},
};

const ValueRange* rangeOf(std::string_view kind, std::string_view parameter) {
    for (const ValueRange& range : kRanges) {
        if (parameter == range.parameter && (!range.kind || kind == range.kind)) {
            return &range;
        }
    }
    return nullptr;
}

enum class Family { Layer, Modifier };

class EffectChecker {
public:
    EffectChecker(const std::vector<std::string>& constants, CheckFindings& findings)
        : m_constants(constants), m_findings(findings) {}

    void CheckPart(const CPart& part) {
        std::map<std::string, Named> layers;
        for (const CTimeBlock& block : part.timeBlocks) {
            for (const CLayerOperation& operation : block.operations) {
                checkOperation(operation, Family::Layer, block.time < 0.0f, layers);
            }
        }
    }

private:
    // A named effect: its kind, and for a model player the modifiers it names.
    struct Named {
        std::string kind;
        std::map<std::string, Named> children;
    };

    void checkOperation(const CLayerOperation& operation, Family family, bool atLoad,
                        std::map<std::string, Named>& names) {
        switch (operation.kind) {
        case OperationKind::Create: {
            Named created{operation.argument, {}};
            if (const CParameterSet* kind = kindSet(family, operation)) {
                checkParameters(operation, family, *kind, atLoad);
            }
            checkChildren(operation, family, created);
            if (!operation.name.empty()) {
                names[operation.name] = std::move(created);
            }
            break;
        }
        case OperationKind::Update: {
            const auto found = names.find(operation.argument);
            if (found == names.end()) {
                m_findings.Error(operation.place,
                                 std::string("no ") +
                                     (family == Family::Layer ? "layer" : "modifier") + " named [" +
                                     operation.argument + "] is created before this UPDATE." +
                                     DidYouMean(operation.argument, keysOf(names)));
                break;
            }
            if (const CParameterSet* kind = setOf(family, found->second.kind)) {
                checkParameters(operation, family, *kind, false, found->second.kind);
            }
            checkChildren(operation, family, found->second);
            break;
        }
        case OperationKind::Delete:
            names.erase(operation.argument);
            break;
        case OperationKind::End:
        case OperationKind::PartEnd:
            break;
        }
    }

    // Only a model player carries effects inside its block: modifiers.
    void checkChildren(const CLayerOperation& operation, Family family, Named& owner) {
        if (operation.children.empty()) {
            return;
        }
        if (family == Family::Layer && owner.kind == "MDLPlayer") {
            for (const CLayerOperation& child : operation.children) {
                checkOperation(child, Family::Modifier, false, owner.children);
            }
            return;
        }
        for (const CLayerOperation& child : operation.children) {
            m_findings.Error(child.place,
                             std::string(child.kind == OperationKind::Create   ? "CREATE"
                                         : child.kind == OperationKind::Update ? "UPDATE"
                                                                               : "DELETE") +
                                 " inside the block of " + owner.kind + " at " + operation.place +
                                 " is never run: only an MDLPlayer carries effects in its "
                                 "block. Has that block lost its closing }?");
        }
    }

    const CParameterSet* kindSet(Family family, const CLayerOperation& operation) {
        if (const CParameterSet* set = setOf(family, operation.argument)) {
            return set;
        }
        const bool layer = family == Family::Layer;
        const std::vector<std::string> kinds =
            layer ? CLayerFactory::Instance().Names() : CModifierFactory::Instance().Names();
        m_findings.Error(operation.place, std::string("unknown ") + (layer ? "layer" : "modifier") +
                                              " kind [" + operation.argument + "]." +
                                              DidYouMean(operation.argument, kinds));
        return nullptr;
    }

    // One effect of each kind, constructed and never started: its parameter list.
    const CParameterSet* setOf(Family family, const std::string& kind) {
        auto& made = family == Family::Layer ? m_layers : m_modifiers;
        const auto found = made.find(kind);
        if (found != made.end()) {
            return found->second.get();
        }
        std::unique_ptr<CParameterSet> set;
        if (family == Family::Layer && CLayerFactory::Instance().Has(kind)) {
            set = CLayerFactory::Instance().CreateLayer(&m_module, &m_noChildren, kind);
        } else if (family == Family::Modifier && CModifierFactory::Instance().Has(kind)) {
            set = CModifierFactory::Instance().CreateModifier(nullptr, &m_module, nullptr, kind);
        }
        return made.emplace(kind, std::move(set)).first->second.get();
    }

    void checkParameters(const CLayerOperation& operation, Family family,
                         const CParameterSet& kindSet, bool atLoad,
                         const std::string& updatedKind = {}) {
        const std::string& kind = updatedKind.empty() ? operation.argument : updatedKind;
        for (const ScriptParameter& parameter : operation.parameters) {
            // The load-time block sets "_Name" only later, as "Name".
            const bool deferred = atLoad && !parameter.name.empty() && parameter.name[0] == '_';
            const std::string name = deferred ? parameter.name.substr(1) : parameter.name;
            const std::optional<ParameterInfo> info = kindSet.Lookup(name);
            if (!info) {
                m_findings.Error(parameter.place, kind + " has no parameter [" + name +
                                                      "]; the show would stop there." +
                                                      DidYouMean(name, kindSet.Names()));
                continue;
            }
            checkValue(kind, family, *info, parameter);
        }
    }

    void checkValue(const std::string& kind, Family family, const ParameterInfo& info,
                    const ScriptParameter& parameter) {
        if (info.type) {
            if (const std::optional<ValueProblem> problem =
                    CheckValue(*info.type, parameter.value, m_constants)) {
                const std::string text = info.name + " " + problem->text;
                if (problem->error) {
                    m_findings.Error(parameter.place, text);
                } else {
                    m_findings.Warning(parameter.place, text);
                }
                return;
            }
        }
        const ValueRange* range = family == Family::Layer ? rangeOf(kind, info.name) : nullptr;
        const std::optional<double> number = WholeNumber(parameter.value);
        if (range && number && (*number < range->low || *number > range->high)) {
            m_findings.Error(parameter.place, info.name + " " + parameter.value +
                                                  " is out of range: " + kind + " knows " +
                                                  info.name + " " + std::to_string(range->low) +
                                                  " to " + std::to_string(range->high) + ".");
        }
        if (!info.type || *info.type == ParameterType::Text) {
            if (const FileRole* role = ParameterFileRole(kind, info.name)) {
                CheckNamedFiles(*role, parameter.value, parameter.place, info.name, m_findings);
            }
        }
    }

    static std::vector<std::string> keysOf(const std::map<std::string, Named>& names) {
        std::vector<std::string> keys;
        for (const auto& entry : names) {
            keys.push_back(entry.first);
        }
        return keys;
    }

    const std::vector<std::string>& m_constants;
    CheckFindings& m_findings;
    RecordingModule m_module;
    const std::vector<CLayerOperation> m_noChildren;
    std::map<std::string, std::unique_ptr<CParameterSet>, std::less<>> m_layers;
    std::map<std::string, std::unique_ptr<CParameterSet>, std::less<>> m_modifiers;
};

}  // namespace

void CheckEffects(const ParsedScript& script, const std::vector<std::string>& constants,
                  CheckFindings& findings) {
    EffectChecker checker(constants, findings);
    for (const CPart& part : script.parts) {
        checker.CheckPart(part);
    }
}

}  // namespace vesta
