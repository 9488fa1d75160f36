#pragma once
// The instruments of the tunes, synthesised as 8-bit module samples.

#include "TrackerModule.h"

namespace vesta::showcase {

// Sample numbers in the modules, in the order MakeInstruments returns them.
enum Instrument : int { kKick = 1, kSnare, kHat, kBass, kPad, kLead };

std::vector<ModSample> MakeInstruments();

}  // namespace vesta::showcase
