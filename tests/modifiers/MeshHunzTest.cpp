// MeshHunz through the OpenGL module: a ball cel-shaded by ToonShade.vso
// and a three-band ramp beside a box drawn as before, the whole scene
// shaded, everything given back at the end, and the messages. The pictures
// are written as meshhunz-NAME.png next to the test program.

#include <cmath>
#include <gtest/gtest.h>
#include <set>

#include "EngineState.h"
#include "GlTestSupport.h"
#include "PictureWriters.h"
#include "TestSupport.h"
#include "render/gl/GlModule.h"
#include "render/vsasm/ToonShade.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"
#include "timeline/ModifierFactory.h"

namespace vesta::test {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;
constexpr float kBands[3] = {0.3f, 0.65f, 1.0f};

// Grey levels of the ramp: a dark, a middle and a bright band.
std::vector<std::uint8_t> rampPng() {
    PngPicture picture;
    picture.width = 64;
    picture.height = 2;
    picture.colorType = 2;  // PNG_COLOR_TYPE_RGB
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const auto level = static_cast<std::uint16_t>(kBands[x * 3 / picture.width] * 255.0f);
            picture.samples.insert(picture.samples.end(), {level, level, level});
        }
    }
    return EncodePng(picture);
}

// A ball of `radius` with outward normals, each face clockwise from outside.
void addBall(CScene& scene, const std::string& name, const Vector3& centre, float radius,
             const std::string& material) {
    CMeshe& mesh = AddMesh(scene, name, centre, material);
    constexpr int kStacks = 16;
    constexpr int kSlices = 24;
    for (int stack = 0; stack <= kStacks; ++stack) {
        const float theta = 3.14159265f * static_cast<float>(stack) / kStacks;
        for (int slice = 0; slice <= kSlices; ++slice) {
            const float phi = 6.2831853f * static_cast<float>(slice) / kSlices;
            const Vector3 n{std::sin(theta) * std::cos(phi), std::cos(theta),
                            std::sin(theta) * std::sin(phi)};
            MeshVertex vertex;
            vertex.position = n * radius;
            vertex.normal = n;
            vertex.colour = 0xFFFFFFFFu;
            mesh.vertices.push_back(vertex);
        }
    }
    auto face = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const std::vector<MeshVertex>& v = mesh.vertices;
        const Vector3 turn = Cross(v[b].position - v[a].position, v[c].position - v[a].position);
        const Vector3 out = v[a].position + v[b].position + v[c].position;
        mesh.faces.push_back(Dot(turn, out) > 0.0f ? MeshFace{a, b, c} : MeshFace{a, c, b});
    };
    constexpr std::uint32_t kStride = kSlices + 1;
    for (std::uint32_t stack = 0; stack < kStacks; ++stack) {
        for (std::uint32_t slice = 0; slice < kSlices; ++slice) {
            const std::uint32_t a = stack * kStride + slice;
            if (stack > 0) {
                face(a, a + 1, a + kStride + 1);
            }
            if (stack + 1 < kStacks) {
                face(a, a + kStride + 1, a + kStride);
            }
        }
    }
    FitBox(mesh);
}

class MeshHunzTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngineState();
        RenderDriver& driver = gl.GetDriver(0);
        gl.SelectDriver(&driver);
        gl.SelectDevice(driver.devices.at(0).get());
        ASSERT_TRUE(gl.Initialize(nullptr, false, kWidth, kHeight, 32));
        WriteFile(m_dir / "ramp.png", rampPng());
        WriteFile(m_dir / "ToonShade.vso", vsasm::ToonShadeShader());

        CScene built;
        built.lastFrame = 100;
        AddMaterial(built, "Red", {1.0f, 0.25f, 0.25f});
        AddMaterial(built, "Green", {0.3f, 1.0f, 0.3f});
        addBall(built, "Ball", {-14, 0, 0}, 16, "Red");
        AddBox(built, "Crate", {24, 0, 0}, {18, 18, 18}, "Green");
        AddCamera(built, "Camera01", {0, 0, -80}, {0, 0, 0}, 0.8f);
        AddLight(built, "Lamp.Dyna", {-60, 50, -60}, {1, 1, 1});
        CountGeometry(built);
        WriteFile(m_dir / "test.vestamdl4", mdl4::WriteScene(built));
        scene = std::make_unique<CScene>(&gl);
        scene->Load("test.vestamdl4");
        scene->LoadTextures();
    }
    void TearDown() override {
        modifier.reset();
        scene->ReleaseResources();
        ResetEngineState();
    }

    void create(std::initializer_list<std::pair<const char*, const char*>> parameters) {
        modifier =
            CModifierFactory::Instance().CreateModifier(scene.get(), &gl, nullptr, "MeshHunz");
        ASSERT_NE(modifier, nullptr);
        for (const auto& [name, value] : parameters) {
            modifier->Set(name, value);
        }
    }

    Image draw(const std::string& name) {
        BeginPlayerFrame(gl, Rgba{0, 0, 64, 255});
        scene->Render(0);
        gl.EndFrame();
        Image image = ReadBackBuffer(gl, kWidth, kHeight);
        WritePng(std::string(VESTA_MODIFIER_PICTURES) + "/meshhunz-" + name + ".png", image);
        return image;
    }

    // The distinct colours of a region, and whether any pixel is background.
    static std::set<std::uint32_t> colours(const Image& image, int x0, int y0, int x1, int y1) {
        std::set<std::uint32_t> found;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgba p = image.At(x, y);
                found.insert(static_cast<std::uint32_t>(p.r << 16 | p.g << 8 | p.b));
            }
        }
        return found;
    }

    static bool sameRegion(const Image& a, const Image& b, int x0, int x1) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgba p = a.At(x, y);
                const Rgba q = b.At(x, y);
                if (p.r != q.r || p.g != q.g || p.b != q.b) {
                    return false;
                }
            }
        }
        return true;
    }

    TempDir m_dir;
    ScopedChdir m_chdir{m_dir.Path()};
    GlModule gl;
    std::unique_ptr<CScene> scene;
    std::unique_ptr<CModifier> modifier;
};

// The ball's middle, inside its outline.
constexpr int kBallX0 = 30;
constexpr int kBallX1 = 50;
constexpr int kBallY0 = 38;
constexpr int kBallY1 = 58;

struct BandCount {
    int present = 0;     // bands met at least once
    float share = 0.0f;  // of the pixels that are a band's colour exactly
};

// The ramp's bands times the material colour, over the ball's middle.
BandCount countBands(const Image& image, const Vector3& material) {
    int hits[3] = {};
    int total = 0;
    for (int y = kBallY0; y < kBallY1; ++y) {
        for (int x = kBallX0; x < kBallX1; ++x, ++total) {
            const Rgba p = image.At(x, y);
            for (int band = 0; band < 3; ++band) {
                const float level = kBands[band] * 255.0f;
                if (std::abs(p.r - level * material.x) < 3 &&
                    std::abs(p.g - level * material.y) < 3 &&
                    std::abs(p.b - level * material.z) < 3) {
                    ++hits[band];
                }
            }
        }
    }
    BandCount count;
    for (int hit : hits) {
        count.present += hit > 0 ? 1 : 0;
        count.share += static_cast<float>(hit) / static_cast<float>(total);
    }
    return count;
}

TEST_F(MeshHunzTest, TheObjectIsDrawnInBandsOfTheRampAndTheRestAsBefore) {
    const Image plain = draw("plain");
    create({{"Object", "Ball"}, {"Texture", "ramp.png"}, {"Light", "Lamp.Dyna"}});
    modifier->Start();
    const Image toon = draw("object");
    // Smooth shading gives many tones; the ramp gives its bands, in red, with
    // the filtered texels of a boundary between them.
    EXPECT_GT(colours(plain, kBallX0, kBallY0, kBallX1, kBallY1).size(), 20u);
    const BandCount bands = countBands(toon, {1.0f, 0.25f, 0.25f});
    EXPECT_GE(bands.present, 2);
    EXPECT_GT(bands.share, 0.85f);
    EXPECT_LT(countBands(plain, {1.0f, 0.25f, 0.25f}).share, 0.3f);
    // Lit from the upper left: the brightest band there, the darkest lower right.
    EXPECT_GT(toon.At(30, 34).r, toon.At(52, 62).r);
    // The crate is drawn by the fixed function as before, and so is the next frame
    // without the modifier.
    EXPECT_TRUE(sameRegion(plain, toon, 80, kWidth));
    modifier->Release();
    EXPECT_FALSE(static_cast<CMeshe*>(scene->FindObject("Ball"))->drawCallback);
    EXPECT_TRUE(sameRegion(plain, draw("released"), 0, kWidth));
}

TEST_F(MeshHunzTest, FullSceneShadesEveryMeshAndGivesTheMaterialsBack) {
    const Image plain = draw("plain-full");
    CMeshe& crate = *static_cast<CMeshe*>(scene->FindObject("Crate"));
    CMaterial* crateMaterial = crate.material;
    create({{"FullScene", "Yes"}, {"Texture", "ramp.png"}, {"Light", "Lamp.Dyna"}});
    modifier->Start();
    EXPECT_NE(crate.material, crateMaterial);
    const Image toon = draw("full-scene");
    EXPECT_FALSE(sameRegion(plain, toon, 80, kWidth));
    // The crate's front face turns one band of green.
    const Rgba front = toon.At(96, 48);
    EXPECT_LT(front.r, front.g);
    EXPECT_EQ(colours(toon, 90, 42, 102, 54).size(), 1u);
    EXPECT_GT(countBands(toon, {1.0f, 0.25f, 0.25f}).share, 0.85f);
    modifier->Release();
    EXPECT_EQ(crate.material, crateMaterial);
    EXPECT_TRUE(sameRegion(plain, draw("released-full"), 0, kWidth));
}

TEST_F(MeshHunzTest, AMissingLightShadesFromTheCamera) {
    create({{"Object", "Ball"}, {"Texture", "ramp.png"}, {"Light", "Nobody"}});
    modifier->Start();
    const Image toon = draw("camera-light");
    // Facing the camera, the middle of the ball takes the brightest band.
    EXPECT_NEAR(toon.At(40, 48).r, 255, 3);
}

TEST_F(MeshHunzTest, MessagesOfAWrongObjectAndAMissingShaderFile) {
    create({{"Object", "Nope"}, {"Texture", "ramp.png"}});
    EXPECT_EQ(EngineErrorOf([&] { modifier->Start(); }), "Cannot find object [Nope]");
    std::filesystem::remove(m_dir / "ToonShade.vso");
    create({{"Object", "Ball"}, {"Texture", "ramp.png"}});
    EXPECT_EQ(EngineErrorOf([&] { modifier->Start(); }),
              "VertexShader : Failed to open file ToonShade.vso");
    EXPECT_STREQ(modifier->GetKindName(), "MeshHunz");
    EXPECT_STREQ(modifier->GetClassName(), "CMeshHunz");
}

}  // namespace
}  // namespace vesta::test
