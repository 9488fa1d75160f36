// The showcase script as the parser reads it: every constant resolved, every
// file it names made by the generator, and every kind of image layer, routine
// and timeline operation in use.

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

#include "EngineState.h"
#include "ShowcaseProduction.h"
#include "script/ScriptParser.h"
#include "script/TextNumbers.h"

namespace vesta::test {
namespace {

class ShowcaseScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        CScriptParser parser(m_script);
        ASSERT_TRUE(parser.Load("Showcase.txt"));
    }
    void TearDown() override { ResetEngineState(); }

    template <class Visit>
    void forEachOperation(Visit visit) const {
        for (const CPart& part : m_script.parts) {
            for (const CTimeBlock& block : part.timeBlocks) {
                for (const CLayerOperation& operation : block.operations) {
                    visit(block, operation);
                }
            }
        }
    }

    const ShowcaseProduction& m_showcase = Showcase();
    ScopedChdir m_chdir{m_showcase.Folder()};
    ParsedScript m_script;
};

bool isNumber(const std::string& text) {
    std::size_t consumed = 0;
    ParseFloatPrefix(text, &consumed);
    return consumed > 0 && consumed == text.size();
}

TEST_F(ShowcaseScriptTest, EveryNamedFileIsMade) {
    const std::vector<std::string> files = FilesNamedBy(m_script);
    EXPECT_GT(files.size(), 40u);
    for (const std::string& file : files) {
        EXPECT_TRUE(std::filesystem::exists(m_showcase.Folder() / file)) << file;
    }
}

TEST_F(ShowcaseScriptTest, EveryConstantIsResolved) {
    // Names of files and of the scenes' objects, lights and cameras are texts.
    const std::set<std::string> texts = {"Texture",   "AlphaTexture", "MDLFile", "Text",
                                         "BlurryMap", "TextureName",  "Palette", "CurrentCamera",
                                         "Object",    "ObjetName",    "Light",   "TargetCamera"};
    const std::set<std::string> vectors = {"SourceParticle", "Color", "LowColor", "HighColor",
                                           "BorderColor"};
    const std::set<std::string> switches = {"Yes", "No"};
    std::function<void(const CLayerOperation&)> check = [&](const CLayerOperation& operation) {
        for (const ScriptParameter& parameter : operation.parameters) {
            if (vectors.count(parameter.name)) {
                std::istringstream pieces(parameter.value);
                for (std::string piece; std::getline(pieces, piece, ',');) {
                    EXPECT_TRUE(isNumber(piece))
                        << operation.place << " " << parameter.name << " " << parameter.value;
                }
            } else if (!texts.count(parameter.name) && !switches.count(parameter.value)) {
                EXPECT_TRUE(isNumber(parameter.value))
                    << operation.place << " " << parameter.name << " " << parameter.value;
            }
        }
        // The modifiers of a model player.
        for (const CLayerOperation& child : operation.children) {
            check(child);
        }
    };
    forEachOperation(
        [&](const CTimeBlock&, const CLayerOperation& operation) { check(operation); });
}

TEST_F(ShowcaseScriptTest, PartsLastAboutAHundredSecondsAndTheLastEndsTheShow) {
    ASSERT_EQ(m_script.parts.size(), 6u);
    float length = 0;
    bool ended = false;
    for (const CPart& part : m_script.parts) {
        EXPECT_FALSE(part.loadingImage.empty());
        EXPECT_FALSE(part.loadingAnimation.empty());
        const CTimeBlock& last = part.timeBlocks.back();
        ASSERT_EQ(last.operations.size(), 1u);
        const bool isEnd = last.operations.front().kind == OperationKind::End;
        EXPECT_TRUE(isEnd || last.operations.front().kind == OperationKind::PartEnd);
        EXPECT_EQ(isEnd, &part == &m_script.parts.back());
        ended = ended || isEnd;
        length += last.time;
    }
    EXPECT_TRUE(ended);
    EXPECT_GE(length, 95.0f);
    EXPECT_LE(length, 110.0f);
}

TEST_F(ShowcaseScriptTest, UsesEveryImageLayerRoutineAndOperation) {
    // The model scenes, the flash, and the tunnel part's text, streams,
    // particles, rays, tunnel and dynamic textures.
    const std::set<std::string> otherKinds = {"MDLPlayer",      "Flash",      "TextLayer",
                                              "StarField",      "RayLayer",   "TrouDuVers",
                                              "ParticlesLayer", "DynaTexture"};
    std::set<std::string> usedOtherKinds;
    std::set<int> gfxRoutines, animRoutines;
    int flashes = 0, restarts = 0, moves = 0, descriptions = 0;
    forEachOperation([&](const CTimeBlock& block, const CLayerOperation& operation) {
        descriptions += !block.description.empty();
        restarts += operation.restart;
        moves += operation.move != MoveTarget::Stay;
        if (operation.kind != OperationKind::Create) {
            return;
        }
        flashes += operation.argument == "Flash";
        int effect = 0;
        for (const ScriptParameter& parameter : operation.parameters) {
            if (parameter.name == "Effect") {
                effect = ParseIntPrefix(parameter.value);
            }
            // Frame lists are written over several lines joined with '&'.
            if (operation.argument == "AnimGFXLayer" && parameter.name == "Texture") {
                EXPECT_GE(std::count(parameter.value.begin(), parameter.value.end(), ','), 5)
                    << operation.place << " " << parameter.value;
            }
        }
        if (operation.argument == "GFXLayer") {
            gfxRoutines.insert(effect);
        } else if (operation.argument == "AnimGFXLayer") {
            animRoutines.insert(effect);
        } else {
            EXPECT_TRUE(otherKinds.count(operation.argument)) << operation.place;
            usedOtherKinds.insert(operation.argument);
        }
    });
    EXPECT_EQ(gfxRoutines, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(animRoutines, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(usedOtherKinds, otherKinds);
    EXPECT_GE(flashes, 4);
    EXPECT_GE(restarts, 3);
    EXPECT_GE(moves, 3);
    EXPECT_GE(descriptions, 10);
}

}  // namespace
}  // namespace vesta::test
