#pragma once
// The registry of the kinds a model player can carry.
//
// Each kind registers itself from its own file, with its place in the
// engine's list of modifier kinds:
//     VESTA_REGISTER_MODIFIER(14, "Fog", CFogModifier)
// The class needs a constructor (CScene*, RenderModule*, void* extra); the
// extra value is whatever the model player hands over. The linking note of
// LayerFactory.h applies.

#include <memory>
#include <string_view>

#include "timeline/EffectFactory.h"
#include "timeline/Modifier.h"

namespace vesta {

class CModifierFactory : public CEffectFactory<CModifier, CScene*, RenderModule*, void*> {
public:
    static const EffectFactoryWords kWords;

    CModifierFactory() : CEffectFactory(kWords) {}

    static CModifierFactory& Instance();

    std::unique_ptr<CModifier> CreateModifier(CScene* scene, RenderModule* renderModule,
                                              void* extra, std::string_view kind) {
        return Create(kind, scene, renderModule, extra);
    }
};

struct ModifierRegistration {
    ModifierRegistration(int order, std::string_view name,
                         CModifierFactory::Creator::Function create) {
        CModifierFactory::Instance().Register(order, name, create);
    }
};

}  // namespace vesta

#define VESTA_REGISTER_MODIFIER(order, kindName, Class)                                            \
    static const ::vesta::ModifierRegistration s_modifierRegistration##Class(                      \
        order, kindName,                                                                           \
        [](::vesta::CScene* scene, ::vesta::RenderModule* renderModule,                            \
           void* extra) -> std::unique_ptr<::vesta::CModifier> {                                   \
            return std::make_unique<Class>(scene, renderModule, extra);                            \
        })
