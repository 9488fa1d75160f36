// Setting typed and accessor parameters from text, strict and lenient sets,
// and the message that lists what a set accepts.

#include "timeline/ParameterSet.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "EngineState.h"
#include "log/Log.h"
#include "platform/NameHash.h"

namespace vesta::test {
namespace {

class Parameters : public CParameterSet {
public:
    explicit Parameters(bool strict) : CParameterSet(strict) {
        AddIntParameter("Count", &count);
        AddFloatParameter("Speed", &speed);
        AddTextParameter("Texture", &texture, [this] { ++textureChanges; });
        AddBoolParameter("Bilinear", &bilinear);
        AddVectorParameter("Position", &position);
        AddAccessorParameter(
            7, [this] { return "mode " + mode; },
            [this](std::string_view text) {
                mode = text;
                return text != "refuse";
            },
            "Mode");
        AddAccessorParameter(
            8, [] { return std::string("fixed"); }, nullptr, "Fixed");
    }

    using CParameterSet::AddFloatParameter;

    std::int32_t count = 5;
    float speed = 1.0f;
    std::string texture;
    int textureChanges = 0;
    bool bilinear = true;
    ParameterVector position{9, 9, 9, 9};
    std::string mode;
};

class ParameterSetTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    static std::string errorOf(Parameters& set, std::string_view name) {
        try {
            set.Set(name, "1");
        } catch (const CUserException& error) {
            return error.Text();
        }
        return "<none>";
    }
};

TEST_F(ParameterSetTest, IntegersAndFloatsReadTheirPrefix) {
    Parameters set(true);
    const std::pair<const char*, std::int32_t> integers[] = {
        {"2.9", 2}, {"  -17x", -17}, {"+4", 4}, {"abc", 0}, {"", 0}, {"99999999999", 2147483647}};
    for (const auto& [text, value] : integers) {
        EXPECT_TRUE(set.Set("Count", text));
        EXPECT_EQ(set.count, value) << text;
    }
    const std::pair<const char*, float> floats[] = {
        {"0.25", 0.25f}, {" \t-1.5e1s", -15.0f}, {"+.5", 0.5f}, {"x1", 0.0f}, {"1e99", INFINITY}};
    for (const auto& [text, value] : floats) {
        set.Set("Speed", text);
        EXPECT_EQ(set.speed, value) << text;
    }
}

TEST_F(ParameterSetTest, BooleansAreYesExactly) {
    Parameters set(true);
    set.Set("Bilinear", "Yes");
    EXPECT_TRUE(set.bilinear);
    for (const char* text : {"yes", "1", "True", "Yes "}) {
        set.bilinear = true;
        set.Set("Bilinear", text);
        EXPECT_FALSE(set.bilinear) << text;
    }
}

TEST_F(ParameterSetTest, VectorsReadThreeNumbersAndZeroTheRest) {
    Parameters set(true);
    set.Set("Position", "1, -2.5,3e1,7");
    EXPECT_EQ((std::vector<float>{set.position.x, set.position.y, set.position.z, set.position.w}),
              (std::vector<float>{1, -2.5f, 30, 0}));
    set.Set("Position", "4 ,5,6");  // the comma must follow its number at once
    EXPECT_EQ((std::vector<float>{set.position.x, set.position.y, set.position.z}),
              (std::vector<float>{4, 0, 0}));
}

TEST_F(ParameterSetTest, TextIsCopiedAndOnChangeRuns) {
    Parameters set(true);
    set.Set("Texture", " a b.png ");
    set.Set("Texture", "c.png");
    EXPECT_EQ(set.texture, "c.png");  // the last value wins
    EXPECT_EQ(set.textureChanges, 2);
}

TEST_F(ParameterSetTest, NamesAreFoundByTheirHash) {
    std::string twin;
    for (int i = 0; twin.empty(); ++i) {
        const std::string candidate = "p" + std::to_string(i);
        if (NameHash(candidate) == NameHash("Speed")) {
            twin = candidate;
        }
    }
    Parameters set(true);
    EXPECT_TRUE(set.Set(twin, "3.5"));
    EXPECT_EQ(set.speed, 3.5f);
    EXPECT_NE(errorOf(set, "speed").find("Could not find Parameter [speed]"), std::string::npos);
}

TEST_F(ParameterSetTest, AccessorsOnlyOnStrictSets) {
    Parameters strict(true);
    EXPECT_TRUE(strict.Set("Mode", "fast"));
    EXPECT_FALSE(strict.Set("Mode", "refuse"));
    EXPECT_EQ(strict.GetAccessorText("Mode"), "mode refuse");
    EXPECT_EQ(strict.GetAccessorText("Count"), std::nullopt);
    // An accessor without a setter cannot be set.
    EXPECT_NE(errorOf(strict, "Fixed"), "<none>");

    ResetLogState();
    Parameters lenient(false);
    EXPECT_FALSE(lenient.Set("Mode", "fast"));
    EXPECT_EQ(lenient.mode, "");
    EXPECT_FALSE(lenient.Set("Unknown", "1"));
    EXPECT_TRUE(lenient.Set("Count", "3"));
    EXPECT_FALSE(userErrorPending());
}

TEST_F(ParameterSetTest, UnknownNameListsAccessorsByNameThenTypedByKey) {
    Parameters set(true);
    std::vector<std::string> typed = {"Count", "Speed", "Texture", "Bilinear", "Position"};
    std::sort(typed.begin(), typed.end(),
              [](const std::string& a, const std::string& b) { return NameHash(a) < NameHash(b); });
    std::string expected = "Layer [N/A]\r\nCould not find Parameter [Txture]\r\n Available are : "
                           "\r\n - Fixed\r\n - Mode\r\n";
    for (const std::string& name : typed) {
        expected += " - " + name + "\r\n";
    }
    EXPECT_EQ(errorOf(set, "Txture"), expected);
    EXPECT_TRUE(userErrorPending());
}

// The lint mode asks Lookup what Set would do: the two must agree on every
// kind of name, hash twins and setter-less accessors included.
TEST_F(ParameterSetTest, LookupFindsExactlyWhatSetWouldReach) {
    std::string twin;
    for (int i = 0; twin.empty(); ++i) {
        const std::string candidate = "p" + std::to_string(i);
        if (NameHash(candidate) == NameHash("Count")) {
            twin = candidate;
        }
    }
    struct Case {
        bool strict;
        std::string name;
        std::optional<std::string> found;  // the registered name Lookup gives
        std::optional<ParameterType> type;
    };
    const Case cases[] = {
        {true, "Count", "Count", ParameterType::Int},
        {true, twin, "Count", ParameterType::Int},
        {true, "Position", "Position", ParameterType::Vector},
        {true, "Mode", "Mode", std::nullopt},
        {true, "Fixed", std::nullopt, std::nullopt},
        {true, "count", std::nullopt, std::nullopt},
        {false, "Mode", std::nullopt, std::nullopt},
        {false, "Bilinear", "Bilinear", ParameterType::Bool},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + (c.strict ? " strict" : " lenient"));
        ResetEngineState();
        Parameters set(c.strict);
        const std::optional<ParameterInfo> info = set.Lookup(c.name);
        ASSERT_EQ(info.has_value(), c.found.has_value());
        // What Set does with a value its setters accept.
        const bool reached = errorOf(set, c.name) == "<none>" && set.Set(c.name, "1");
        EXPECT_EQ(reached, c.found.has_value());
        if (info) {
            EXPECT_EQ(info->name, *c.found);
            EXPECT_EQ(info->type, c.type);
        }
    }
    Parameters set(true);
    std::vector<std::string> names = set.Names();
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(names[0], "Fixed");
    EXPECT_EQ(names[1], "Mode");
}

TEST_F(ParameterSetTest, RegisteringANameTwiceEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Parameters set(true);
            float other = 0;
            set.AddFloatParameter("Count", &other);
        },
        "parameter \\[Count\\] clashes with \\[Count\\]");
    EXPECT_DEATH(
        {
            Parameters set(true);
            float other = 0;
            set.AddFloatParameter("Mode", &other);
        },
        "parameter \\[Mode\\]");
}

// The reference of the author's guide prints defaults this way, so a value
// must read back through Set as the same value.
TEST_F(ParameterSetTest, ValueTextIsWhatAScriptWouldWriteAndReadsBack) {
    Parameters set(true);
    EXPECT_EQ(set.ValueText("Count"), "5");
    EXPECT_EQ(set.ValueText("Speed"), "1");
    EXPECT_EQ(set.ValueText("Texture"), "");
    EXPECT_EQ(set.ValueText("Bilinear"), "Yes");
    EXPECT_EQ(set.ValueText("Position"), "9,9,9");
    EXPECT_EQ(set.ValueText("Mode"), "mode ");
    EXPECT_EQ(set.ValueText("Fixed"), "fixed");
    EXPECT_EQ(set.ValueText("Nothing"), std::nullopt);

    set.Set("Count", "-12");
    set.Set("Speed", "0.1");
    set.Set("Bilinear", "no");
    set.Set("Position", "1.5,-2,1e-3");
    EXPECT_EQ(set.ValueText("Count"), "-12");
    EXPECT_EQ(set.ValueText("Speed"), "0.1");
    EXPECT_EQ(set.ValueText("Bilinear"), "No");
    EXPECT_EQ(set.ValueText("Position"), "1.5,-2,0.001");

    // Shortest text, yet exact: reading it back gives the very same float.
    for (const float value : {1.0f / 3.0f, 123456.79f, -0.0078125f, 3.4e38f}) {
        set.speed = value;
        const std::string text = *set.ValueText("Speed");
        set.Set("Speed", text);
        EXPECT_EQ(set.speed, value) << text;
    }
}

}  // namespace
}  // namespace vesta::test
