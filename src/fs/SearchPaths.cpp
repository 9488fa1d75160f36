#include "fs/SearchPaths.h"

namespace vesta {
namespace {

struct SearchState {
    std::vector<std::string> folders;
    bool archivesFirst = false;
};

SearchState& state() {
    static SearchState search;
    return search;
}

}  // namespace

void AddSearchPath(std::string_view folder) {
    state().folders.push_back(std::string(folder) + "\\");
}

const std::vector<std::string>& SearchPathList() {
    return state().folders;
}

void SetSearchArchivesFirst(bool first) {
    state().archivesFirst = first;
}

bool SearchArchivesFirst() {
    return state().archivesFirst;
}

void ClearSearchPathsForTests() {
    state() = SearchState{};
}

}  // namespace vesta
