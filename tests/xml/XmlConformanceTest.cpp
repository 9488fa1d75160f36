// Runs the standalone documents of the W3C XML conformance suite. Documents outside
// this reader's scope are still parsed, so that none of them may crash it.

#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

#include "ConformanceSuite.h"

namespace vesta::xmltest {
namespace {

// Reached when this test was written; a lower count is a regression.
constexpr int kNotWellFormedRejectedFloor = 909;
constexpr int kWellFormedAcceptedFloor = 415;

struct Tally {
    int notWellFormed = 0;
    int rejected = 0;
    int wellFormed = 0;
    int accepted = 0;
    int comparedToCanonical = 0;
    std::map<std::string, int> differences;
    std::map<std::string, int> outOfScope;
    std::vector<std::string> faults;
};

void printTally(const Tally& tally) {
    std::cout << "XML conformance: not-wf rejected " << tally.rejected << "/" << tally.notWellFormed
              << ", well-formed accepted " << tally.accepted << "/" << tally.wellFormed
              << ", content equal to the canonical form for " << tally.comparedToCanonical << "\n";
    for (const auto& [cause, count] : tally.differences) {
        std::cout << "  differs, " << cause << ": " << count << "\n";
    }
    for (const auto& [reason, count] : tally.outOfScope) {
        std::cout << "  out of scope, " << reason << ": " << count << "\n";
    }
    for (const auto& fault : tally.faults) {
        std::cout << "  fault: " << fault << "\n";
    }
}

TEST(XmlConformance, StandaloneDocumentsAreJudgedAsTheSuiteExpects) {
    const auto folder = conformanceSuiteFolder();
    if (folder.empty()) {
        GTEST_SKIP() << "conformance suite not installed (scripts/test-data)";
    }
    const auto cases = loadConformanceCases(folder);
    ASSERT_GT(cases.size(), 2000u);
    Tally tally;
    const bool verbose = std::getenv("VESTA_XML_CONFORMANCE_VERBOSE") != nullptr;
    for (const auto& testCase : cases) {
        ConformanceResult result;
        try {
            result = runConformanceCase(testCase);
        } catch (const std::exception& error) {
            ADD_FAILURE() << testCase.id << " escaped with: " << error.what();
            continue;
        }
        if (const std::string reason = outOfScopeReason(testCase); !reason.empty()) {
            ++tally.outOfScope[reason];
            continue;
        }
        if (result.accepted && !testCase.canonical.empty() && result.contentDifference.empty()) {
            ++tally.comparedToCanonical;
        }
        if (!result.contentDifference.empty()) {
            ADD_FAILURE() << testCase.id << " read differently from its canonical form:\n    "
                          << result.contentDifference;
        }
        int& total = result.expectedWellFormed ? tally.wellFormed : tally.notWellFormed;
        int& matched = result.expectedWellFormed ? tally.accepted : tally.rejected;
        ++total;
        if (result.cause.empty()) {
            ++matched;
            continue;
        }
        ++tally.differences[result.cause];
        if (verbose) {
            std::cout << "  " << testCase.id << " " << testCase.type << ": " << result.cause << " "
                      << testCase.document.string() << "\n";
        }
        if (result.cause == "real fault") {
            tally.faults.push_back(testCase.id + " (" + testCase.type + ", " +
                                   testCase.document.string() + ")");
        }
    }
    printTally(tally);
    EXPECT_GE(tally.rejected, kNotWellFormedRejectedFloor);
    EXPECT_GE(tally.accepted, kWellFormedAcceptedFloor);
    EXPECT_TRUE(tally.faults.empty());
}

}  // namespace
}  // namespace vesta::xmltest
