#include "app/NearestWord.h"

#include <algorithm>

namespace vesta {
namespace {

char folded(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t replace = diagonal + (folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, replace});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::optional<std::string> NearestWord(std::string_view word,
                                       const std::vector<std::string>& candidates) {
    if (std::find(candidates.begin(), candidates.end(), word) != candidates.end()) {
        return std::nullopt;
    }
    // Short words have few neighbours worth naming.
    const std::size_t allowed = word.size() < 5 ? 1 : 2;
    std::optional<std::string> best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(word, candidate);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates) {
    const std::optional<std::string> nearest = NearestWord(word, candidates);
    return nearest ? " Did you mean " + *nearest + "?" : std::string();
}

}  // namespace vesta
