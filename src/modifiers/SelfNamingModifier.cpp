#include "modifiers/SelfNamingModifier.h"

#include <cstdio>
#include <cstdlib>

namespace vesta {

void CSelfNamingModifier::Start() {
    if (GetName().empty()) {
        char name[256];
        std::snprintf(name, sizeof name, "%s [%X]", GetKindName(),
                      static_cast<unsigned>(std::rand() & 0x7FFF));
        SetDefaultName(name);
    }
    Initialise();
}

}  // namespace vesta
