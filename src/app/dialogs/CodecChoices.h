#pragma once
// The video encoders FFmpeg offers for the container a file name asks for.

#include <string>
#include <vector>

namespace vesta {

struct CodecChoice {
    std::string name;   // what --codec takes; empty for the container's default
    std::string label;  // shown in the list
};

// The container's default first, then every software video encoder the
// container (from the file name's extension, AVI when it names none) can
// hold, by name.
std::vector<CodecChoice> VideoCodecChoices(const std::string& fileName);

}  // namespace vesta
