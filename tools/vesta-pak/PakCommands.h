#pragma once
// The commands of vesta-pak. Each returns the exit status and reports on
// the given streams.

#include <cstdio>
#include <string>
#include <vector>

namespace vesta::paktool {

struct CreateOptions {
    std::string output;
    std::vector<std::string> inputs;  // files and folders
    bool store = false;
    int level = 9;
};

struct EmbedOptions {
    std::string player;
    std::string archive;
    std::string output;
    std::vector<std::pair<std::string, std::string>> resources;  // name, file
};

int Create(const CreateOptions& options);
int List(const std::string& archive);
int Extract(const std::string& archive, const std::string& folder);
int Verify(const std::string& archive);
int Embed(const EmbedOptions& options);

// An entry name that is safe to write below the extraction folder: relative,
// without "..", with backslashes read as folder separators. Empty when unsafe.
std::string SafeRelativePath(const std::string& entryName);

}  // namespace vesta::paktool
