#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta {

const EffectFactoryWords CLayerFactory::kWords = {"LayerEffect", "LayerFactoryStats.txt",
                                                  "Used layers :", "Unused layers :"};

const EffectFactoryWords CModifierFactory::kWords = {"MDLModifier", "ModifiersFactoryStats.txt",
                                                     "Used modifiers :", "Unused modifiers :"};

// Function-local instances exist before the first registration, whatever
// the order of static initialisation across files.
CLayerFactory& CLayerFactory::Instance() {
    static CLayerFactory factory;
    return factory;
}

CModifierFactory& CModifierFactory::Instance() {
    static CModifierFactory factory;
    return factory;
}

}  // namespace vesta
