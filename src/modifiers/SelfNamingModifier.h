#pragma once
// The base of the modifier kinds without an envelope that still take a name
// of their own when the script gives none, "Flies [1A2B]", as the envelope
// kinds do.

#include "timeline/Modifier.h"

namespace vesta {

class CSelfNamingModifier : public CModifier {
public:
    using CModifier::CModifier;

    // Names an unnamed modifier "Kind [hex]", then initialises the kind.
    void Start() final;
    void Release() override {}

protected:
    // May raise the program's user exception, which fails the creation.
    virtual void Initialise() = 0;
};

}  // namespace vesta
