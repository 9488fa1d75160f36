#pragma once
// Joins recorded segments into one file, copying their packets as they are,
// and adds the soundtrack recorded apart: the picture's time runs on from
// segment to segment without a gap or a repeat.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesta::farm {

class JoinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct JoinRequest {
    std::vector<std::string> segments;
    // How many frames each segment must hold; empty to take what they hold.
    std::vector<std::int64_t> frames;
    std::string soundtrack;  // a recording whose sound is taken; "" for none
    double fps = 25.0;
    std::string output;
};

// Writes the output under a temporary name beside it and renames it at the
// end, so that a failed join leaves an earlier complete output as it was.
// Throws JoinError. Returns the number of frames written.
std::int64_t JoinSegments(const JoinRequest& request);

}  // namespace vesta::farm
