#pragma once
// "Did you mean ...?": the known word closest to a misspelt one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesta {

// The candidate within a small edit distance of `word` (letter case counting
// as no difference), the closest first; nothing when none is close or `word`
// is itself a candidate.
std::optional<std::string> NearestWord(std::string_view word,
                                       const std::vector<std::string>& candidates);

// " Did you mean X?" or nothing.
std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace vesta
