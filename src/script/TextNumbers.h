#pragma once
// Numbers read from and written to script text the way C's atoi, atof and
// "%.3f" do, without depending on the process locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace vesta {

// Leading white space, an optional sign, decimal digits; 0 without digits.
// Values beyond the 32-bit range are clamped.
std::int32_t ParseIntPrefix(std::string_view text);

// The longest decimal floating-point prefix after leading white space; 0 when
// there is none. `consumed` (optional) receives the characters read, 0 for none.
float ParseFloatPrefix(std::string_view text, std::size_t* consumed = nullptr);

std::string FormatFixed3(float value);

// Space and tab removed from both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vesta
