// The author's guide in docs/ against the engine it describes: the committed
// reference is what vesta-guide writes today, it names every registered kind
// with every parameter a script can set, its links lead somewhere, and every
// script of the guide passes the player's own check.

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "render/RecordingModule.h"
#include "timeline/LayerFactory.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {
namespace {

const std::filesystem::path kDocs = VESTA_DOCS_DIR;
const char* const kRegenerate = "build/bin/vesta-guide docs/reference.md";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The names between backticks in a piece of text, in order.
std::vector<std::string> quotedNames(const std::string& text) {
    std::vector<std::string> names;
    for (std::size_t open = text.find('`'); open != std::string::npos;) {
        const std::size_t close = text.find('`', open + 1);
        if (close == std::string::npos) {
            break;
        }
        names.push_back(text.substr(open + 1, close - open - 1));
        open = text.find('`', close + 1);
    }
    return names;
}

using KindParameters = std::map<std::string, std::set<std::string>>;

// What the committed reference says each kind takes, read the way an author
// reads it: the kind's own table, and the shared parameters it names.
struct ReadReference {
    KindParameters layers;
    KindParameters modifiers;
};

ReadReference readReference(const std::string& text) {
    ReadReference read;
    KindParameters* family = nullptr;
    std::set<std::string> shared;
    std::set<std::string>* section = nullptr;
    for (const std::string& line : linesOf(text)) {
        if (line == "## Layers" || line == "## Modifiers") {
            family = line == "## Layers" ? &read.layers : &read.modifiers;
            shared.clear();
            section = nullptr;
        } else if (line.rfind("## ", 0) == 0) {
            family = nullptr;
            section = nullptr;
        } else if (family && line.rfind("### Shared", 0) == 0) {
            section = &shared;
        } else if (family && line.rfind("### ", 0) == 0) {
            section = &(*family)[line.substr(4)];
        } else if (section && line.rfind("| `", 0) == 0) {
            section->insert(quotedNames(line).front());
        } else if (section && line.rfind("Takes all the [shared parameters]", 0) == 0) {
            section->insert(shared.begin(), shared.end());
        } else if (section && line.rfind("Takes the [shared parameters]", 0) == 0) {
            for (const std::string& name : quotedNames(line)) {
                EXPECT_TRUE(shared.count(name)) << line;
                section->insert(name);
            }
        }
    }
    return read;
}

// What Set accepts on a kind constructed as the player constructs it.
std::set<std::string> settableNames(const CParameterSet& set) {
    std::set<std::string> names;
    for (const std::string& name : set.Names()) {
        if (set.Lookup(name)) {
            names.insert(name);
        }
    }
    return names;
}

KindParameters registeredLayers() {
    RecordingModule module;
    const std::vector<CLayerOperation> noChildren;
    KindParameters kinds;
    for (const std::string& kind : CLayerFactory::Instance().Names()) {
        kinds[kind] =
            settableNames(*CLayerFactory::Instance().CreateLayer(&module, &noChildren, kind));
    }
    return kinds;
}

KindParameters registeredModifiers() {
    RecordingModule module;
    KindParameters kinds;
    for (const std::string& kind : CModifierFactory::Instance().Names()) {
        kinds[kind] = settableNames(
            *CModifierFactory::Instance().CreateModifier(nullptr, &module, nullptr, kind));
    }
    return kinds;
}

TEST(GuideTest, CommittedReferenceIsWhatTheToolWritesNow) {
    TempDir dir;
    const ProcessResult result =
        RunProcess(VESTA_GUIDE_PATH, {(dir / "reference.md").string()}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> written = linesOf(ReadFile(dir / "reference.md"));
    const std::vector<std::string> committed = linesOf(ReadFile(kDocs / "reference.md"));
    for (std::size_t i = 0; i < std::max(written.size(), committed.size()); ++i) {
        const std::string now = i < written.size() ? written[i] : "<end>";
        const std::string then = i < committed.size() ? committed[i] : "<end>";
        ASSERT_EQ(then, now) << "docs/reference.md differs from the engine's kinds at line "
                             << i + 1 << "; write it again with " << kRegenerate;
    }
}

TEST(GuideTest, ReferenceNamesEveryRegisteredKindWithEveryParameter) {
    const ReadReference read = readReference(ReadFile(kDocs / "reference.md"));
    const KindParameters layers = registeredLayers();
    const KindParameters modifiers = registeredModifiers();
    EXPECT_EQ(layers.size(), 23u);
    EXPECT_EQ(modifiers.size(), 23u);
    EXPECT_EQ(read.layers, layers) << "write the reference again with " << kRegenerate;
    EXPECT_EQ(read.modifiers, modifiers) << "write the reference again with " << kRegenerate;
}

// The fenced blocks of a Markdown text written in `language`.
std::vector<std::string> fencedBlocks(const std::string& text, const std::string& language) {
    std::vector<std::string> blocks;
    std::string* open = nullptr;
    for (const std::string& line : linesOf(text)) {
        if (open) {
            if (line == "```") {
                open = nullptr;
            } else {
                *open += line + "\n";
            }
        } else if (line == "```" + language) {
            open = &blocks.emplace_back();
        }
    }
    return blocks;
}

// The scripts use the showcase's pictures, tunes and models, which the
// player carries; the folder's own configuration comes before the carried one.
TEST(GuideTest, EveryScriptOfTheGuidePassesTheCheckWithoutAWord) {
    const std::vector<std::string> scripts = fencedBlocks(ReadFile(kDocs / "guide.md"), "vesta");
    ASSERT_GE(scripts.size(), 5u);
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        TempDir dir;
        WriteFile(dir / "DefaultConfig.xml",
                  "<AppConfig>\n<Script Name=\"Example.txt\"/>\n</AppConfig>\n");
        WriteFile(dir / "Example.txt", scripts[i]);
        const ProcessResult result = RunProcess(VESTA_PLAYER_PATH, {"--check"}, dir.Path());
        EXPECT_EQ(result.exitCode, 0) << "script " << i + 1 << " of the guide:\n"
                                      << scripts[i] << result.err;
        EXPECT_EQ(result.err, "") << "script " << i + 1 << " of the guide";
        EXPECT_NE(result.out.find("part 1:"), std::string::npos) << result.out;
    }
}

// GitHub's anchors of a Markdown text's headings.
std::set<std::string> anchorsOf(const std::string& text) {
    std::set<std::string> anchors;
    for (const std::string& line : linesOf(text)) {
        if (line.empty() || line[0] != '#') {
            continue;
        }
        std::string anchor;
        for (const char c : line.substr(line.find(' ') + 1)) {
            if (c == ' ') {
                anchor += '-';
            } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
                anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        anchors.insert(anchor);
    }
    return anchors;
}

TEST(GuideTest, LinksLeadToFilesAndHeadingsThatExist) {
    const std::map<std::string, std::set<std::string>> anchors = {
        {"guide.md", anchorsOf(ReadFile(kDocs / "guide.md"))},
        {"reference.md", anchorsOf(ReadFile(kDocs / "reference.md"))},
        {"../README.md", anchorsOf(ReadFile(VESTA_README))},
    };
    for (const char* page : {"guide.md", "reference.md"}) {
        const std::string text = ReadFile(kDocs / page);
        for (std::size_t at = text.find("]("); at != std::string::npos;
             at = text.find("](", at + 2)) {
            const std::string target = text.substr(at + 2, text.find(')', at) - at - 2);
            const std::size_t hash = target.find('#');
            const std::string file = hash == 0 ? page : target.substr(0, hash);
            ASSERT_TRUE(anchors.count(file)) << page << " links to " << target;
            if (hash != std::string::npos) {
                EXPECT_TRUE(anchors.at(file).count(target.substr(hash + 1)))
                    << page << " links to " << target;
            }
        }
    }
    EXPECT_NE(ReadFile(VESTA_README).find("(docs/guide.md)"), std::string::npos)
        << "the README links the guide";
}

}  // namespace
}  // namespace vesta::test
