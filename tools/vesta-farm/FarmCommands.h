#pragma once
// The commands of vesta-farm, each given the arguments after its name; each
// returns the exit status.

#include <span>
#include <string_view>

namespace vesta::farm {

constexpr int kUsageError = 2;

int Record(std::span<const std::string_view> args);
int Collection(std::span<const std::string_view> args);
int Join(std::span<const std::string_view> args);
int Status(std::span<const std::string_view> args);

}  // namespace vesta::farm
