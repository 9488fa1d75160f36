#pragma once
// The registry of the kinds that can stand in a part's layer stack.
//
// Each kind registers itself from its own file, with its place in the
// engine's list of layer kinds:
//     VESTA_REGISTER_LAYER(2, "GFXLayer", CGfxLayer)
// The class needs a constructor (RenderModule*, const std::vector<CLayerOperation>*).
// A file that only registers must be linked whole (its library as an OBJECT
// library or with WHOLE_ARCHIVE), or the linker drops it.

#include <memory>
#include <string_view>
#include <vector>

#include "timeline/EffectFactory.h"
#include "timeline/Layer.h"

namespace vesta {

class CLayerFactory
    : public CEffectFactory<CLayer, RenderModule*, const std::vector<CLayerOperation>*> {
public:
    static const EffectFactoryWords kWords;

    CLayerFactory() : CEffectFactory(kWords) {}

    // The process-wide registry, filled before the application starts.
    static CLayerFactory& Instance();

    std::unique_ptr<CLayer> CreateLayer(RenderModule* renderModule,
                                        const std::vector<CLayerOperation>* children,
                                        std::string_view kind) {
        return Create(kind, renderModule, children);
    }
};

struct LayerRegistration {
    LayerRegistration(int order, std::string_view name, CLayerFactory::Creator::Function create) {
        CLayerFactory::Instance().Register(order, name, create);
    }
};

}  // namespace vesta

#define VESTA_REGISTER_LAYER(order, kindName, Class)                                               \
    static const ::vesta::LayerRegistration s_layerRegistration##Class(                            \
        order, kindName,                                                                           \
        [](::vesta::RenderModule* renderModule,                                                    \
           const std::vector<::vesta::CLayerOperation>* children)                                  \
            -> std::unique_ptr<::vesta::CLayer> {                                                  \
            return std::make_unique<Class>(renderModule, children);                                \
        })
