// The further flat layers through the recording module: every kind takes
// exactly the parameters of its table, as typed or accessor parameters, and
// plays; an unknown name lists what a kind accepts; and what each kind
// computes at chosen ages (rings, copies, strips, letters, dots, drops, the
// text's 3D sample and the water's sound trigger).

#include <algorithm>
#include <cstdlib>
#include <sndfile.h>

#include "FlatLayerData.h"
#include "LayerTestSupport.h"
#include "SoundTestData.h"
#include "layers/CerclesLayer.h"
#include "layers/DotEffect.h"
#include "layers/GfxSlider.h"
#include "layers/LineLayer.h"
#include "layers/MetaballLayer.h"
#include "layers/OnduleGfxLayer.h"
#include "layers/PlasmaUVLayer.h"
#include "layers/SplineLayer.h"
#include "layers/TextLayer.h"
#include "layers/WaterTextLayer.h"
#include "platform/NameHash.h"
#include "sound/SoundSystem.h"

namespace vesta::test {
namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

struct KindTable {
    const char* kind;
    const char* className;
    const char* defaultName;  // the prefix before " [", or empty
    Params accessors;
    Params typed;
};

// Every parameter of every kind with a value of its type.
const std::vector<KindTable>& kindTables() {
    static const std::vector<KindTable> tables = {
        {"WaterText",
         "CWaterTextLayer",
         "",
         {{"TextureFile", "a.png"},
          {"EnvMapFile", "b.png"},
          {"TextMapList", "c.png,a.png"},
          {"UpdateInterval", "0.5"}},
         {{"AlphaTexture", "mask.png"},
          {"Effect", "1"},
          {"WaterInterval", "0.2"},
          {"SoundTrigLevel", "0.5"},
          {"SoundAttenuate", "0.8"}}},
        {"FocalGFX",
         "CFocalGFX",
         "",
         {{"BlurryMap", "a.png"},
          {"AlphaMap", "mask.png"},
          {"OrigMap", "b.png"},
          {"XScale", "0.9"},
          {"YScale", "0.8"}},
         {}},
        {"MetaballLayer",
         "CMetaballLayer",
         "",
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "-0.1"},
          {"ZOffset", "0.2"},
          {"XScale", "0.8"},
          {"YScale", "0.9"},
          {"ZScale", "0.5"},
          {"NBMeta", "3"}},
         {{"AlphaTexture2", "mask.png"}, {"Texture2", "b.png"}}},
        {"DotEffect", "CDotEffect", "", {{"Texture", "a.png"}, {"AlphaTexture", "mask.png"}}, {}},
        {"TextLayer",
         "CTextLayer",
         "Gfx Text Layer",
         {{"BlurryMap", "a.png"}, {"Effect", "2"}},
         {{"AlphaType", "1"},
          {"AlphaTexture", "mask.png"},
          {"Texture", "b.png"},
          {"Text", "Hello"},
          {"AlphaBlurMap", "mask.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"ZOffset", "0.5"},
          {"XOffsetStart", "0.2"},
          {"YOffsetStart", "0.2"},
          {"ZOffsetStart", "1"},
          {"XOffsetEnd", "-0.2"},
          {"YOffsetEnd", "-0.2"},
          {"ZOffsetEnd", "1"},
          {"XScaleStart", "0.5"},
          {"YScaleStart", "0.5"},
          {"XScaleEnd", "0.5"},
          {"YScaleEnd", "0.5"},
          {"XScale", "1.5"},
          {"YScale", "1.5"},
          {"Tracking", "0.05"},
          {"Center", "Yes"},
          {"Loop", "Yes"},
          {"File", "tone.wav"}}},
        {"LineLayer",
         "CLineLayer",
         "Gfx Layer",
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "-0.3"},
          {"YOffset", "0"},
          {"XScale", "0.2"},
          {"YScale", "0.2"},
          {"XOffsetDelta", "0.1"},
          {"YOffsetDelta", "0.02"},
          {"XScaleDelta", "0.01"},
          {"YScaleDelta", "0.01"},
          {"NBLines", "4"},
          {"Tracking", "0.1"},
          {"Sens", "-1"},
          {"IntensityMax", "0.8"}},
         {}},
        {"OnduleGFXLayer",
         "COnduleGfxLayer",
         "Ondule Gfx Layer",
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "0.8"},
          {"YScale", "0.8"}},
         {{"Effect", "2"}, {"Intensity", "1.5"}}},
        {"PlasmaUVLayer",
         "CPlasmaUVLayer",
         "Plasma UV Layer",
         {},
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "0.8"},
          {"YScale", "0.8"},
          {"Effect", "1"},
          {"AlphaType", "1"},
          {"Intensity", "0.5"}}},
        {"SplineLayer",
         "CSplineLayer",
         "Spline Layer",
         {},
         {{"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "0.8"},
          {"YScale", "0.8"},
          {"Effect", "1"},
          {"AlphaType", "0"},
          {"Intensity", "0.5"},
          {"NbSpline", "2"},
          {"TrailLenght", "12"},
          {"AmplitudeX", "0.3"},
          {"AmplitudeY", "0.3"},
          {"AmplitudeZ", "0.3"}}},
        {"GFXSlider",
         "CGfxSlider",
         "",
         {},
         {{"Texture", "a.png"},
          {"AlphaTexture", "mask.png"},
          {"TextureSlide", "b.png"},
          {"TextureSlideAlpha", "mask.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "0.8"},
          {"YScale", "0.8"},
          {"Width", "320"},
          {"Height", "240"},
          {"SlideLenght", "100"},
          {"SlideMaxSeg", "5"},
          {"SlideStart", "0.1"},
          {"SlideEnd", "0.9"},
          {"Effect", "1"},
          {"Vibration", "0.5"}}},
        {"CerclesLayer",
         "CCerclesLayer",
         "Cercles Layer",
         {{"NBCercles", "4"},
          {"AlphaTexture", "mask.png"},
          {"Texture", "a.png"},
          {"XOffset", "0.1"},
          {"YOffset", "0.1"},
          {"XScale", "0.8"},
          {"YScale", "0.8"}},
         {{"Speed", "0.4"}, {"Ecart", "0.3"}, {"Length", "0.05"}, {"During", "1"}}},
    };
    return tables;
}

// The envelope's and the layer clock's own parameters, typed in every layer.
constexpr std::size_t kBaseParameters = 5;

class FlatLayerKindsTest : public LayerTest {
protected:
    void SetUp() override {
        LayerTest::SetUp();
        WriteFlatLayerPictures(m_dir.Path());
        WriteFile(m_dir / "tone.wav", MakeSineFile(SF_FORMAT_WAV, 22050, {{440.0, 0.5}}, 0.5));
    }

    template <class Layer>
    Layer& flat(const char* kind, Params parameters) {
        parameters.insert(parameters.begin(), {{"RisingTime", "1"}, {"StableTime", "2"}});
        return make<Layer>(kind, parameters);
    }
};

TEST_F(FlatLayerKindsTest, EveryKindTakesItsParametersAsListedAndPlays) {
    for (const KindTable& table : kindTables()) {
        SCOPED_TRACE(table.kind);
        at(0);
        auto created = CLayerFactory::Instance().CreateLayer(&module, nullptr, table.kind);
        ASSERT_NE(created, nullptr);
        CLayer& layer = *created;
        m_layers.push_back(std::move(created));
        EXPECT_STREQ(layer.GetClassName(), table.className);
        EXPECT_EQ(layer.AccessorCount(), table.accessors.size());
        EXPECT_EQ(layer.TypedCount(), table.typed.size() + kBaseParameters);
        for (const auto& [name, value] : table.accessors) {
            EXPECT_TRUE(layer.Set(name, value)) << name;
            EXPECT_TRUE(layer.GetAccessorText(name).has_value()) << name;
        }
        for (const auto& [name, value] : table.typed) {
            EXPECT_TRUE(layer.Set(name, value)) << name;
            EXPECT_FALSE(layer.GetAccessorText(name).has_value()) << name;
        }
        const std::string prefix =
            table.defaultName[0] ? std::string(table.defaultName) + " [" : "";
        EXPECT_EQ(layer.GetName().rfind(prefix, 0), 0u) << layer.GetName();
        EXPECT_EQ(layer.GetName().empty(), prefix.empty());
        layer.Set("RisingTime", "0.5");
        layer.Set("StableTime", "1");
        layer.Set("FallingTime", "0.5");
        layer.Start();
        layer.SetBirthTime(0);
        std::size_t drawn = 0;
        for (const float age : {0.25f, 1.0f, 1.75f}) {
            frame(layer, age);
            drawn += draws().size();
        }
        EXPECT_GE(drawn, 3u);
        EXPECT_EQ(layer.LifeTime(), 2.0f);
    }
}

TEST_F(FlatLayerKindsTest, KindsTakeTheirPlacesInTheListOfKinds) {
    const std::vector<std::string> expected = {
        "Flash",         "GFXLayer",    "WaterText", "FocalGFX",       "MetaballLayer",
        "DotEffect",     "TextLayer",   "LineLayer", "OnduleGFXLayer", "AnimGFXLayer",
        "PlasmaUVLayer", "SplineLayer", "GFXSlider", "CerclesLayer"};
    std::vector<std::string> listed;
    for (const std::string& name : CLayerFactory::Instance().NamesInRegistrationOrder()) {
        if (std::find(expected.begin(), expected.end(), name) != expected.end()) {
            listed.push_back(name);
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST_F(FlatLayerKindsTest, AnUnknownNameListsTheAccessorsByNameThenTheTypedByKey) {
    auto& layer = flat<CCerclesLayer>("CerclesLayer", {});
    layer.SetPlace("main.txt(4)");
    std::vector<std::string> typed = {"StartTime",   "LifeTime",   "RisingTime",
                                      "FallingTime", "StableTime", "Speed",
                                      "Ecart",       "Length",     "During"};
    std::sort(typed.begin(), typed.end(),
              [](const std::string& a, const std::string& b) { return NameHash(a) < NameHash(b); });
    std::string expected = "Layer [Near main.txt(4) - CCerclesLayer - " + layer.GetName() +
                           "]\r\nCould not find Parameter [Radius]\r\n Available are : \r\n";
    for (const char* name :
         {"AlphaTexture", "NBCercles", "Texture", "XOffset", "XScale", "YOffset", "YScale"}) {
        expected += std::string(" - ") + name + "\r\n";
    }
    for (const std::string& name : typed) {
        expected += " - " + name + "\r\n";
    }
    EXPECT_EQ(EngineErrorOf([&] { layer.Set("Radius", "1"); }), expected);
}

TEST_F(FlatLayerKindsTest, RingsLeaveInTurnAndComeBackOnceTheirTurnIsOver) {
    auto& layer = flat<CCerclesLayer>("CerclesLayer", {{"NBCercles", "3"},
                                                       {"Speed", "0.2"},
                                                       {"Ecart", "0.5"},
                                                       {"Length", "0.04"},
                                                       {"During", "1.5"}});
    const auto radii = [&](float age) {
        std::vector<float> r;
        for (const auto& ring : layer.RingsAt(age)) {
            r.push_back(ring.radius);
        }
        return r;
    };
    const auto near = [](std::vector<float> a, std::vector<float> b) {
        for (std::size_t n = 0; n < a.size(); ++n) {
            EXPECT_NEAR(a[n], b[n], 1e-5f);
        }
        return a.size() == b.size();
    };
    EXPECT_TRUE(near(radii(0.25f), {0.09f}));
    // At 1.75 s the first ring has left again (a turn is 3 × 0.5 s).
    EXPECT_TRUE(near(radii(1.75f), {0.29f, 0.19f, 0.09f}));
    EXPECT_EQ(layer.RingsAt(1.75f).back().alpha, 1.0f - 0.25f / 1.5f);
    frame(layer, 1.75f);
    ASSERT_EQ(draws().size(), 3u);
    EXPECT_EQ(draws()[0]->vertices.size(), 2u * (CCerclesLayer::kSegments + 1));
    auto& none = flat<CCerclesLayer>("CerclesLayer", {{"NBCercles", "0"}});
    frame(none, 1.5f);
    EXPECT_TRUE(draws().empty());
}

TEST_F(FlatLayerKindsTest, LineCopiesLightInTheOrderOfSens) {
    const Params line = {
        {"Texture", "a.png"}, {"NBLines", "4"}, {"Tracking", "0.5"}, {"IntensityMax", "0.5"}};
    auto& forward = flat<CLineLayer>("LineLayer", line);
    EXPECT_EQ(forward.CopyAlpha(0, 0.125f), 0.25f);
    EXPECT_FLOAT_EQ(forward.CopyAlpha(1, 0.6f), 0.2f);
    EXPECT_EQ(forward.CopyAlpha(3, 1.4f), 0.0f);
    Params backwards = line;
    backwards.push_back({"Sens", "-1"});
    auto& reverse = flat<CLineLayer>("LineLayer", backwards);
    EXPECT_EQ(reverse.CopyAlpha(3, 0.25f), 0.5f);
    EXPECT_EQ(reverse.CopyAlpha(0, 1.4f), 0.0f);
    // At 1.6 s, stable: copies 0 to 3 (alphas 0.5, 0.5, 0.5, 0.2), the last drawn first.
    frame(forward, 1.6f);
    ASSERT_EQ(draws().size(), 4u);
    EXPECT_EQ(AlphaOf(draws()[0]->vertices[0]), 51u);
    EXPECT_EQ(AlphaOf(draws()[3]->vertices[0]), 127u);
}

TEST_F(FlatLayerKindsTest, SliderStripsTakeTheirTurnsAndAnEmptySlideComesAtOnce) {
    auto& layer = flat<CGfxSlider>(
        "GFXSlider",
        {{"Texture", "a.png"}, {"SlideMaxSeg", "4"}, {"SlideStart", "1"}, {"SlideEnd", "3"}});
    EXPECT_EQ(layer.StripProgress(0, 0.5f), 0.0f);
    EXPECT_EQ(layer.StripProgress(0, 1.25f), 0.5f);
    EXPECT_EQ(layer.StripProgress(2, 2.25f), 0.5f);
    EXPECT_EQ(layer.StripProgress(3, 3.5f), 1.0f);
    frame(layer, 1.75f);  // strip 0 in place, strip 1 half way
    ASSERT_EQ(draws().size(), 2u);
    EXPECT_EXTENT(*draws()[0], -0.5f, -0.25f, -0.5f, 0.5f);
    // Strip 1 (odd) comes from below: a quarter of the 480 pixels of 480 left.
    EXPECT_EXTENT(*draws()[1], -0.25f, 0.0f, -0.75f, 0.25f);
    auto& sudden = flat<CGfxSlider>(
        "GFXSlider",
        {{"Texture", "a.png"}, {"SlideMaxSeg", "0"}, {"SlideStart", "1"}, {"SlideEnd", "1"}});
    EXPECT_EQ(sudden.StripProgress(0, 0.99f), 0.0f);
    EXPECT_EQ(sudden.StripProgress(0, 1.0f), 1.0f);
}

TEST_F(FlatLayerKindsTest, TextTracksCentresTypesAndKeepsItsEffectAgainstOthers) {
    auto& plain = flat<CTextLayer>("TextLayer", {{"Text", "ABCD"}});
    float width = 0.0f, height = 0.0f;
    ASSERT_EQ(plain.Layout(width, height).size(), 4u);
    auto& spaced = flat<CTextLayer>("TextLayer", {{"Text", "ABCD"}, {"Tracking", "0.5"}});
    float spacedWidth = 0.0f;
    const auto letters = spaced.Layout(spacedWidth, height);
    EXPECT_NEAR(spacedWidth - width, 4 * 0.5f, 1e-4f);
    EXPECT_NEAR(height, 1.0f, 1e-6f);
    // A text longer than one draw's indices reach keeps to what they do.
    auto& endless = flat<CTextLayer>("TextLayer", {{"Text", std::string(20000, 'x')}});
    frame(endless, 1.5f);
    ASSERT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0]->vertices.size(), 4 * CTextLayer::kMostLetters);
    EXPECT_EQ(*std::max_element(draws()[0]->indices.begin(), draws()[0]->indices.end()),
              4 * CTextLayer::kMostLetters - 1);
    auto& centred = flat<CTextLayer>(
        "TextLayer", {{"Text", "ABCD"}, {"Center", "Yes"}, {"XOffset", "0.2"}, {"Effect", "1"}});
    centred.Set("Effect", "7");
    EXPECT_EQ(centred.Effect(), 1);
    // Half way up the rise, two of the four letters are typed.
    frame(centred, 0.5f);
    ASSERT_EQ(draws().size(), 1u);
    const auto& vertices = draws()[0]->vertices;
    ASSERT_EQ(vertices.size(), 16u);
    EXPECT_EQ(AlphaOf(vertices[4]), 255u);
    EXPECT_EQ(AlphaOf(vertices[8]), 0u);
    frame(centred, 1.5f);
    const Extent e = extentOf(*draws()[0]);
    // The glyph boxes leave the side bearings out, so the middle is near, not at, 0.2.
    EXPECT_NEAR((e.x0 + e.x1) / 2, 0.2f, 0.01f);
    EXPECT_NEAR(e.x1 - e.x0, width * CTextLayer::kLineHeight * module.Aspect(), 0.02f);
}

TEST_F(FlatLayerKindsTest, TextPlaysItsFileAsA3DSampleUntilReleased) {
    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, 22050);
    module.SetSoundSystem(&sound);
    auto& layer =
        flat<CTextLayer>("TextLayer", {{"Text", "Hi"}, {"File", "tone.wav"}, {"Loop", "Yes"}});
    frame(layer, 0.5f);
    const SoundHandle channel = layer.Channel();
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(sound.ChannelIsPlaying(channel));
    int volume = 0;
    sound.ChannelGetAttributes(channel, nullptr, &volume, nullptr);
    EXPECT_EQ(volume, 50);
    frame(layer, 1.0f);
    EXPECT_EQ(layer.Channel(), channel);
    layer.Release();
    EXPECT_FALSE(sound.ChannelIsPlaying(channel));
    m_layers.clear();
    const std::string error = EngineErrorOf([&] {
        flat<CTextLayer>("TextLayer", {{"File", "none.wav"}});
    });
    EXPECT_EQ(error, "Cannot open file [none.wav]");
    module.SetSoundSystem(nullptr);
}

TEST_F(FlatLayerKindsTest, WaterDropsByTheClockAndWhenTheMusicRisesPastItsLevel) {
    auto& clock =
        flat<CWaterTextLayer>("WaterText", {{"TextureFile", "a.png"}, {"WaterInterval", "0.25"}});
    for (float t = 0.0f; t <= 1.01f; t += 0.05f) {
        frame(clock, t);
    }
    EXPECT_EQ(clock.DropCount(), 4);
    frame(clock, 2.5f);  // a long frame: a few drops, not all it missed
    EXPECT_EQ(clock.DropCount(), 8);
    EXPECT_NE(clock.HeightAt(CWaterTextLayer::kColumns / 2, CWaterTextLayer::kRows / 2), 1e9f);

    SoundSystem sound;
    sound.Initialize(SoundOutput::Loopback, 22050);
    module.SetSoundSystem(&sound);
    const std::vector<std::uint8_t> loud = MakeSineFile(SF_FORMAT_WAV, 22050, {{220.0, 0.9}}, 2.0);
    const SoundHandle music = sound.StreamCreate(loud);
    auto& heard = flat<CWaterTextLayer>(
        "WaterText", {{"TextureFile", "a.png"}, {"WaterInterval", "0"}, {"SoundTrigLevel", "0.5"}});
    std::vector<float> audio(2 * 2205);
    frame(heard, 0.1f);
    EXPECT_EQ(heard.DropCount(), 0);
    sound.StreamPlay(music);
    sound.RenderAudio(audio.data(), 2205);
    frame(heard, 0.2f);
    EXPECT_EQ(heard.DropCount(), 1);
    sound.RenderAudio(audio.data(), 2205);
    frame(heard, 0.3f);  // still above: no new drop
    EXPECT_EQ(heard.DropCount(), 1);
    sound.ChannelStop(music);
    sound.RenderAudio(audio.data(), 2205);
    frame(heard, 0.4f);
    sound.StreamPlay(music, false);
    sound.RenderAudio(audio.data(), 2205);
    frame(heard, 0.5f);
    EXPECT_EQ(heard.DropCount(), 2);
    module.SetSoundSystem(nullptr);
}

TEST_F(FlatLayerKindsTest, DotsFollowThePictureAndItsAlpha) {
    auto& dots = flat<CDotEffect>("DotEffect", {{"Texture", "checker.png"}});
    ASSERT_EQ(dots.Dots().size(), std::size_t(CDotEffect::kColumns * CDotEffect::kRows));
    const auto& first = dots.Dots().front();  // the blue square at the top left
    EXPECT_GT(first.blue, first.red);
    EXPECT_NEAR(first.x, -0.5f + 0.5f / CDotEffect::kColumns, 1e-6f);
    frame(dots, 1.5f);
    EXPECT_EQ(draws().size(), 1u);
    EXPECT_EQ(draws()[0]->indices.size(), dots.Dots().size() * 6);
    // Where the alpha picture is black there are no dots.
    auto& half =
        flat<CDotEffect>("DotEffect", {{"Texture", "checker.png"}, {"AlphaTexture", "right.png"}});
    EXPECT_EQ(half.Dots().size(), std::size_t(CDotEffect::kColumns * CDotEffect::kRows / 2));
    // A missing picture is the texture manager's error.
    EXPECT_EQ(EngineErrorOf([&] {
                  flat<CDotEffect>("DotEffect", {{"Texture", "none.png"}});
              }),
              "PngLoad : Cannot open File [none.png].");
}

TEST_F(FlatLayerKindsTest, MeshesStayWithinTheirReach) {
    auto& ondule =
        flat<COnduleGfxLayer>("OnduleGFXLayer", {{"Texture", "a.png"}, {"Intensity", "2"}});
    auto& plasma =
        flat<CPlasmaUVLayer>("PlasmaUVLayer", {{"Texture", "a.png"}, {"Intensity", "2"}});
    frame(ondule, 1.3f);
    frame(plasma, 1.3f);
    float wave = 0.0f, shift = 0.0f;
    for (std::size_t n = 0; n < ondule.Grid().rest.size(); ++n) {
        wave = std::max(wave, std::abs(ondule.Grid().vertices[n].x - ondule.Grid().rest[n].x));
        shift = std::max(shift, std::abs(plasma.Grid().vertices[n].u0 - plasma.Grid().rest[n].u0));
    }
    EXPECT_GT(wave, COnduleGfxLayer::kAmplitude);
    EXPECT_LE(wave, COnduleGfxLayer::kAmplitude * 2 * 1.35f + 1e-6f);
    EXPECT_GT(shift, CPlasmaUVLayer::kReach);
    EXPECT_LE(shift, CPlasmaUVLayer::kReach * 2 + 1e-6f);

    std::srand(5);
    auto& splines = flat<CSplineLayer>("SplineLayer", {{"NbSpline", "3"}, {"TrailLenght", "10"}});
    frame(splines, 1.5f);
    ASSERT_EQ(draws().size(), 3u);
    EXPECT_EQ(draws()[0]->vertices.size(), 40u);
    for (int s = 0; s < splines.SplineCount(); ++s) {
        for (float t = 0.0f; t < 6.0f; t += 0.1f) {
            const Vector3 p = splines.PointOf(s, t);
            // Catmull-Rom overshoots its points a little, never far.
            EXPECT_LE(std::abs(p.x), 0.4f * 1.3f);
            EXPECT_LE(std::abs(p.z), 0.5f * 1.3f);
        }
    }
    auto& balls = flat<CMetaballLayer>("MetaballLayer", {{"NBMeta", "2"}});
    const auto centres = balls.BallsAt(1.0f);
    ASSERT_EQ(centres.size(), 2u);
    EXPECT_GT(balls.Field(centres, centres[0].centre.x, centres[0].centre.y), 100.0f);
    EXPECT_LT(balls.Field(centres, 0.5f, 0.5f) + balls.Field(centres, -0.5f, -0.5f), 1.0f);
}

}  // namespace
}  // namespace vesta::test
