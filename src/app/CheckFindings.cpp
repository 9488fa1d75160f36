#include "app/CheckFindings.h"

#include <algorithm>
#include <cstdlib>

namespace vesta {
namespace {

std::string counted(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// "file(line)" as file and line; lines of a file compare as numbers.
std::pair<std::string, int> splitPlace(const std::string& place) {
    const std::size_t open = place.rfind('(');
    if (open == std::string::npos) {
        return {place, 0};
    }
    return {place.substr(0, open), std::atoi(place.c_str() + open + 1)};
}

}  // namespace

void CheckFindings::Error(std::string place, std::string text) {
    m_findings.push_back({true, std::move(place), std::move(text)});
}

void CheckFindings::Warning(std::string place, std::string text) {
    m_findings.push_back({false, std::move(place), std::move(text)});
}

int CheckFindings::Errors() const {
    return static_cast<int>(std::count_if(m_findings.begin(), m_findings.end(),
                                          [](const CheckFinding& f) { return f.error; }));
}

int CheckFindings::Warnings() const {
    return static_cast<int>(m_findings.size()) - Errors();
}

void CheckFindings::Print(std::FILE* err) const {
    // In the order of the script: files as they first come up, lines in order.
    std::vector<std::string> files;
    for (const CheckFinding& finding : m_findings) {
        const std::string file = splitPlace(finding.place).first;
        if (std::find(files.begin(), files.end(), file) == files.end()) {
            files.push_back(file);
        }
    }
    const auto rank = [&](const CheckFinding& finding) {
        const auto [file, line] = splitPlace(finding.place);
        return std::pair(std::find(files.begin(), files.end(), file) - files.begin(), line);
    };
    std::vector<CheckFinding> ordered = m_findings;
    std::stable_sort(
        ordered.begin(), ordered.end(),
        [&](const CheckFinding& a, const CheckFinding& b) { return rank(a) < rank(b); });
    for (const CheckFinding& finding : ordered) {
        std::fprintf(err, "vesta: %s%s%s%s\n", finding.place.c_str(),
                     finding.place.empty() ? "" : ": ",
                     finding.error ? "" : "warning: ", finding.text.c_str());
    }
    if (m_findings.empty()) {
        return;
    }
    std::string counts;
    if (Errors() > 0) {
        counts = counted(Errors(), "error");
    }
    if (Warnings() > 0) {
        counts += (counts.empty() ? "" : ", ") + counted(Warnings(), "warning");
    }
    std::fprintf(err, "vesta: %s\n", counts.c_str());
}

}  // namespace vesta
