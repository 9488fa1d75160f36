#pragma once
// The base of the modifier kinds that name themselves when the script gives
// them no NAME: "Kind [4F2A]", the kind's name and a pseudo-random number
// below 32768 in upper-case hexadecimal. Such a name keeps auto-destroy on.

#include "timeline/Modifier.h"

namespace vesta {

class CSelfNamingModifier : public CModifier {
public:
    using CModifier::CModifier;

    // Names the modifier if need be, then initialises the kind.
    void Start() final;

protected:
    virtual void Initialise() = 0;
};

}  // namespace vesta
