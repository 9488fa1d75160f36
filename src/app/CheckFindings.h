#pragma once
// What `vesta --check` found, each with its place and one plain sentence.
// Errors would stop or spoil the show; warnings are likely mistakes that the
// player passes over without a word.

#include <cstdio>
#include <string>
#include <vector>

namespace vesta {

struct CheckFinding {
    bool error = true;
    std::string place;  // "file(line)"; empty when nothing in a file is to blame
    std::string text;
};

class CheckFindings {
public:
    void Error(std::string place, std::string text);
    void Warning(std::string place, std::string text);

    const std::vector<CheckFinding>& All() const { return m_findings; }
    int Errors() const;
    int Warnings() const;

    // One line each, "vesta: file(line): text" ("warning: " before the
    // text of a warning), then the counts when there is anything to count.
    void Print(std::FILE* err) const;

private:
    std::vector<CheckFinding> m_findings;
};

}  // namespace vesta
