#pragma once
// The W3C XML conformance suite as installed by scripts/test-data: its catalogue, read
// with the reader under test, and the judgement of one document against its type.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vesta::xmltest {

struct ConformanceCase {
    std::string id;
    std::string type;  // valid, invalid, not-wf or error
    std::string entities;
    std::string version;
    std::string edition;
    std::string recommendation;
    std::filesystem::path document;
    std::filesystem::path canonical;  // the expected content in canonical form, when given
};

// The suite's folder (holding xmlconf.xml) under VESTA_TEST_DATA; empty when absent.
std::filesystem::path conformanceSuiteFolder();

// Every TEST of the catalogue and of the per-suite catalogues it includes.
std::vector<ConformanceCase> loadConformanceCases(const std::filesystem::path& folder);

// Empty when the case is for this reader; otherwise why it is left out.
std::string outOfScopeReason(const ConformanceCase& testCase);

struct ConformanceResult {
    bool expectedWellFormed = false;
    bool accepted = false;
    std::string cause;  // for a result that differs from the expectation
    // For an accepted document with a canonical form: what differs, empty when nothing.
    std::string contentDifference;
};

// Parses the document; throws only for faults other than the reader's own exceptions.
ConformanceResult runConformanceCase(const ConformanceCase& testCase);

std::string readFile(const std::filesystem::path& path);

}  // namespace vesta::xmltest
