#include "scene/player/ModifierList.h"

#include <algorithm>

#include "log/Log.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

void CModifierList::Apply(const std::vector<CLayerOperation>& operations,
                          const ModifierContext& context, bool startNew) {
    for (const CLayerOperation& operation : operations) {
        switch (operation.kind) {
        case OperationKind::Create:
            create(operation, context, startNew);
            break;
        case OperationKind::Update:
            update(operation);
            break;
        case OperationKind::Delete:
            remove(operation.argument);
            break;
        case OperationKind::End:
        case OperationKind::PartEnd:
            break;
        }
    }
}

void CModifierList::create(const CLayerOperation& operation, const ModifierContext& context,
                           bool start) {
    std::unique_ptr<CModifier> made = CModifierFactory::Instance().CreateModifier(
        context.scene, context.renderModule, context.player, operation.argument);
    CModifier& modifier = *made;
    if (!operation.name.empty()) {
        modifier.SetName(operation.name);
    }
    if (operation.insertAtBottom) {
        m_modifiers.push_front(std::move(made));
    } else {
        m_modifiers.push_back(std::move(made));
    }
    modifier.SetPlace(operation.place);
    for (const ScriptParameter& parameter : operation.parameters) {
        modifier.Set(parameter.name, parameter.value);
    }
    if (start) {
        modifier.Start();
    }
    // Born now: one that an UPDATE of a running player adds would otherwise
    // count its StartTime from the clock's zero and might never show. A new
    // player sets its modifiers' birth time again when the timeline sets its own.
    modifier.SetBirthTime(-1.0f);
}

void CModifierList::update(const CLayerOperation& operation) {
    const auto found = find(operation.argument);
    if (found == m_modifiers.end()) {
        RaiseError("Could not find any MDLModifier named [%s].", operation.argument.c_str());
    }
    CModifier& modifier = **found;
    for (const ScriptParameter& parameter : operation.parameters) {
        modifier.Set(parameter.name, parameter.value);
    }
    if (operation.restart) {
        modifier.SetBirthTime(-1.0f);
    }
    if (operation.move == MoveTarget::Top) {
        m_modifiers.splice(m_modifiers.end(), m_modifiers, found);
    } else if (operation.move == MoveTarget::Bottom) {
        m_modifiers.splice(m_modifiers.begin(), m_modifiers, found);
    }
}

void CModifierList::remove(std::string_view name) {
    const auto found = find(name);
    if (found != m_modifiers.end()) {
        (*found)->Release();
        m_modifiers.erase(found);
    }
}

CModifierList::List::iterator CModifierList::find(std::string_view name) {
    return std::find_if(m_modifiers.begin(), m_modifiers.end(),
                        [&](const auto& modifier) { return modifier->GetName() == name; });
}

CModifier* CModifierList::Find(std::string_view name) const {
    for (const auto& modifier : m_modifiers) {
        if (modifier->GetName() == name) {
            return modifier.get();
        }
    }
    return nullptr;
}

std::vector<CModifier*> CModifierList::InOrder() const {
    std::vector<CModifier*> ordered;
    for (const auto& modifier : m_modifiers) {
        ordered.push_back(modifier.get());
    }
    return ordered;
}

void CModifierList::StartAll() {
    for (const auto& modifier : m_modifiers) {
        modifier->Start();
    }
}

void CModifierList::SetBirthTimeAll(float time) {
    for (const auto& modifier : m_modifiers) {
        modifier->SetBirthTime(time);
    }
}

void CModifierList::ReleaseAll() {
    for (const auto& modifier : m_modifiers) {
        modifier->Release();
    }
}

void CModifierList::PreFrame() {
    for (const auto& modifier : m_modifiers) {
        modifier->PreUpdate();
    }
}

void CModifierList::PerFrame() {
    bool afterPass = false;
    for (auto modifier = m_modifiers.rbegin(); modifier != m_modifiers.rend(); ++modifier) {
        (*modifier)->Update();
        // A mark left by the last frame of a finished modifier asks for nothing.
        afterPass = afterPass || ((*modifier)->Skipped() && (*modifier)->IsAlive());
    }
    if (!afterPass) {
        return;
    }
    for (const auto& modifier : m_modifiers) {
        modifier->UpdateUnlessSkipped();
    }
}

void CModifierList::RemoveOneFinished() {
    const auto finished = std::find_if(m_modifiers.begin(), m_modifiers.end(), [](const auto& m) {
        return m->AutoDestroy() && !m->IsAlive();
    });
    if (finished != m_modifiers.end()) {
        (*finished)->Release();
        m_modifiers.erase(finished);
    }
}

}  // namespace vesta
