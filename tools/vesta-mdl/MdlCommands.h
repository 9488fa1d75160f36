#pragma once
// The commands of vesta-mdl. Each returns the exit status and reports on
// standard output (results) and standard error (progress and failures).

#include <string>

namespace vesta::mdltool {

int Convert(const std::string& input, const std::string& output);
int Dump(const std::string& path);

}  // namespace vesta::mdltool
