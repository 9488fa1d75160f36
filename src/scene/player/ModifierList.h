#pragma once
// The ordered modifiers a model player carries, and the script operations
// that create, update, move and delete them.
//
// "Top" is the back of the list and "Bottom" its front, as in a part's layer
// stack: the per-frame pass runs from the back, so the top one goes first.

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptData.h"
#include "timeline/Modifier.h"

namespace vesta {

class CScene;
class RenderModule;

// What every modifier of one player is made with.
struct ModifierContext {
    CScene* scene = nullptr;
    RenderModule* renderModule = nullptr;
    void* player = nullptr;  // the factory's extra value
};

class CModifierList {
public:
    CModifierList() = default;
    CModifierList(const CModifierList&) = delete;
    CModifierList& operator=(const CModifierList&) = delete;

    // In script order. With `startNew` a created modifier starts at once;
    // without it, it waits for StartAll (its player has not loaded yet).
    // Raises "Could not find any MDLModifier named [%s]." for an UPDATE of a
    // name the list lacks; a DELETE of one is ignored.
    void Apply(const std::vector<CLayerOperation>& operations, const ModifierContext& context,
               bool startNew);

    void StartAll();
    void SetBirthTimeAll(float time);
    void ReleaseAll();

    // Pre-render of every live modifier, front to back.
    void PreFrame();
    // Render of every live modifier from the back; when one of them asks for
    // the after pass, every live one without the mark renders once more,
    // front to back.
    void PerFrame();
    // Releases and removes the first finished modifier that was never named;
    // one a frame at most.
    void RemoveOneFinished();

    std::size_t Count() const { return m_modifiers.size(); }
    // Front to back.
    std::vector<CModifier*> InOrder() const;
    CModifier* Find(std::string_view name) const;

private:
    using List = std::list<std::unique_ptr<CModifier>>;

    void create(const CLayerOperation& operation, const ModifierContext& context, bool start);
    void update(const CLayerOperation& operation);
    void remove(std::string_view name);
    List::iterator find(std::string_view name);

    List m_modifiers;
};

}  // namespace vesta
