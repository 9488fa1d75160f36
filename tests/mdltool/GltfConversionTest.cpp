// A glTF 2.0 file written here goes through the converter, the MDL4 writer
// and the engine's reader; the loaded scene is checked against the file.

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "GltfWriter.h"
#include "ModelConverter.h"
#include "TestSupport.h"
#include "log/Log.h"
#include "render/RecordingModule.h"
#include "scene/Mdl4Writer.h"
#include "scene/Scene.h"
#include "scene/SceneLoad.h"

namespace vesta::test {
namespace {

constexpr float kTolerance = 1e-4f;

// Root.Group (static, at 10 0 5) holds Glass.Alpha (a textured quad at
// 0 2 0) and Spinner (the same quad, moved up by 3 and turned by 90 degrees
// about y over one second), which holds the point Spinner.Child (at 0 0 2).
// Cam stands at 0 1 10 looking down -z, Lamp.Halo is a spot light at 0 5 0.
std::string sampleGltf() {
    GltfBuffer buffer;
    const int positions = buffer.AddFloats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3", 3);
    const int normals = buffer.AddFloats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3", 3);
    const int uvs = buffer.AddFloats({0, 0, 1, 0, 1, 1, 0, 1}, "VEC2", 2);
    const int indices = buffer.AddIndices({0, 1, 2, 0, 2, 3});
    const int times = buffer.AddFloats({0, 1}, "SCALAR", 1);
    const int moves = buffer.AddFloats({0, 0, 0, 0, 3, 0}, "VEC3", 3);
    const float s = std::sqrt(0.5f);
    const int turns = buffer.AddFloats({0, 0, 0, 1, 0, s, 0, s}, "VEC4", 4);
    auto n = [](int index) { return std::to_string(index); };
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,4,5]}],)"
           R"("nodes":[)"
           R"({"name":"Root.Group","translation":[10,0,5],"children":[1,2]},)"
           R"({"name":"Glass.Alpha","mesh":0,"translation":[0,2,0]},)"
           R"({"name":"Spinner","mesh":0,"children":[3]},)"
           R"({"name":"Spinner.Child","translation":[0,0,2]},)"
           R"({"name":"Cam","camera":0,"translation":[0,1,10]},)"
           R"({"name":"Lamp.Halo","translation":[0,5,0],)"
           R"("extensions":{"KHR_lights_punctual":{"light":0}}}],)"
           R"("meshes":[{"name":"Quad","primitives":[{"attributes":{"POSITION":)" +
           n(positions) + R"(,"NORMAL":)" + n(normals) + R"(,"TEXCOORD_0":)" + n(uvs) +
           R"(},"indices":)" + n(indices) + R"(,"material":0}]}],)" +
           R"("materials":[{"name":"Glassy","alphaMode":"BLEND","pbrMetallicRoughness":{)"
           R"("baseColorFactor":[1,0.5,0.25,0.5],"baseColorTexture":{"index":0}}}],)"
           R"("textures":[{"source":0}],"images":[{"uri":"maps/glass.png"}],)"
           R"("cameras":[{"type":"perspective","perspective":{"yfov":0.8,"aspectRatio":1.5,)"
           R"("znear":0.1,"zfar":100}}],)"
           R"("extensionsUsed":["KHR_lights_punctual"],)"
           R"("extensions":{"KHR_lights_punctual":{"lights":[{"name":"Lamp.Halo","type":"spot",)"
           R"("color":[1,0.5,0],"intensity":1,"spot":{"innerConeAngle":0.2,"outerConeAngle":0.6}}]}},)"
           R"("animations":[{"channels":[{"sampler":0,"target":{"node":2,"path":"translation"}},)"
           R"({"sampler":1,"target":{"node":2,"path":"rotation"}}],"samplers":[)"
           R"({"input":)" +
           n(times) + R"(,"output":)" + n(moves) + R"(,"interpolation":"LINEAR"},)" +
           R"({"input":)" + n(times) + R"(,"output":)" + n(turns) +
           R"(,"interpolation":"LINEAR"}]}],)" + buffer.Json() + "}";
}

// Converts, writes and loads back with the engine's reader.
std::unique_ptr<CScene> convertAndLoad(const TempDir& dir, const std::string& gltf) {
    WriteFile(dir / "model.gltf", gltf);
    CScene converted;
    mdltool::ConvertModel((dir / "model.gltf").string(), converted);
    WriteFile(dir / "model.VestaMDL4", mdl4::WriteScene(converted));
    auto loaded = std::make_unique<CScene>();
    LoadScene(*loaded, (dir / "model.VestaMDL4").string());
    return loaded;
}

std::string parentOf(const C3DObject& object) {
    return object.parent ? object.parent->Name() : object.pendingParentName;
}

const C3DObjectAnim* animNamed(const CScene& scene, const std::string& name) {
    for (const auto& anim : scene.animations) {
        if (anim->name == name) {
            return anim.get();
        }
    }
    return nullptr;
}

void expectNear(const Vector3& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

void expectNear(const Vector4& actual, float x, float y, float z) {
    expectNear(Vector3{actual.x, actual.y, actual.z}, x, y, z);
}

class GltfConversionTest : public ::testing::Test {
protected:
    void SetUp() override { scene = convertAndLoad(dir, sampleGltf()); }

    CMeshe& mesh(const std::string& name) {
        auto* found = dynamic_cast<CMeshe*>(scene->FindObject(name));
        EXPECT_NE(found, nullptr) << name;
        return found ? *found : *scene->meshes.at(0);
    }

    TempDir dir;
    std::unique_ptr<CScene> scene;
};

// Left-handed and mirrored in z: the points below are the file's with z negated.
TEST_F(GltfConversionTest, HierarchyNamesAndStaticGeometryAreInSceneCoordinates) {
    ASSERT_EQ(scene->meshes.size(), 2u);
    ASSERT_NE(scene->FindObject("Root.Group"), nullptr);
    EXPECT_EQ(parentOf(*scene->FindObject("Root.Group")), "");
    EXPECT_EQ(parentOf(mesh("Glass.Alpha")), "Root.Group");
    EXPECT_EQ(parentOf(mesh("Spinner")), "Root.Group");
    ASSERT_NE(scene->FindObject("Spinner.Child"), nullptr);
    EXPECT_EQ(parentOf(*scene->FindObject("Spinner.Child")), "Spinner");

    // A mesh that never moves is drawn with the identity: its node's
    // transform is in the vertices, its pivot at the node, its box around them.
    CMeshe& glass = mesh("Glass.Alpha");
    ASSERT_EQ(glass.vertices.size(), 4u);
    expectNear(glass.position, 10, 2, -5);
    Vector3 low{1e9f, 1e9f, 1e9f};
    for (const MeshVertex& vertex : glass.vertices) {
        low = {std::min(low.x, vertex.position.x), std::min(low.y, vertex.position.y),
               std::min(low.z, vertex.position.z)};
        expectNear(vertex.normal, 0, 0, -1);
        EXPECT_EQ(vertex.colour & 0x00FFFFFFu, 0x00FFFFFFu);
    }
    expectNear(low, 10, 2, -5);
    expectNear(glass.box.cornerA, 0, 0, 0);
    expectNear(glass.box.cornerB, 1, 1, 0);

    // Front faces wind clockwise seen from the side their normal points to.
    ASSERT_EQ(glass.faces.size(), 2u);
    for (const MeshFace& face : glass.faces) {
        const Vector3& p = glass.vertices[face.a].position;
        const Vector3& q = glass.vertices[face.b].position;
        const Vector3& r = glass.vertices[face.c].position;
        const Vector3 u{q.x - p.x, q.y - p.y, q.z - p.z}, v{r.x - p.x, r.y - p.y, r.z - p.z};
        const float crossZ = u.x * v.y - u.y * v.x;
        EXPECT_LT(crossZ, 0.0f) << "not clockwise towards -z";
    }
    // glTF puts the texture origin at the top left, as the player does: v as in the file.
    for (const MeshVertex& vertex : glass.vertices) {
        EXPECT_NEAR(vertex.uv0[1], vertex.position.y < 2.5f ? 0.0f : 1.0f, kTolerance);
    }

    // A moving mesh keeps its node's frame: the player applies its tracks.
    CMeshe& spinner = mesh("Spinner");
    ASSERT_EQ(spinner.vertices.size(), 4u);
    float highest = 0.0f;
    for (const MeshVertex& vertex : spinner.vertices) {
        highest = std::max(highest, vertex.position.x + vertex.position.y);
    }
    EXPECT_NEAR(highest, 2.0f, kTolerance);  // the local corner 1 1 0
    expectNear(spinner.position, 10, 0, -5);
}

TEST_F(GltfConversionTest, MaterialKeepsItsMapColourAndOpacity) {
    EXPECT_EQ(mesh("Glass.Alpha").materialName, "Glassy");
    const CMaterial* glassy = nullptr;
    for (const auto& material : scene->materials) {
        if (material->name == "Glassy") {
            glassy = material.get();
        }
    }
    ASSERT_NE(glassy, nullptr);
    ASSERT_FALSE(glassy->maps.empty());
    EXPECT_EQ(glassy->maps[0], (MaterialMap{"Diffuse", "maps/glass.png"}));
    EXPECT_NEAR(glassy->colour1.r, 1.0f, kTolerance);
    EXPECT_NEAR(glassy->colour1.g, 0.5f, kTolerance);
    EXPECT_NEAR(glassy->colour1.b, 0.25f, kTolerance);
    EXPECT_EQ(glassy->transparency, 128);
}

TEST_F(GltfConversionTest, CameraAndSpotLightLookAlongTheirNodes) {
    ASSERT_EQ(scene->cameras.size(), 1u);
    const CCamera& camera = *scene->cameras[0];
    EXPECT_EQ(camera.Name(), "Cam");
    expectNear(camera.position, 0, 1, -10);
    ASSERT_NE(camera.target, nullptr);
    EXPECT_EQ(camera.target->Name(), "Cam.Target");
    // The file looks down -z, which the mirror turns into +z.
    EXPECT_NEAR(camera.target->position.x, 0.0f, kTolerance);
    EXPECT_NEAR(camera.target->position.y, 1.0f, kTolerance);
    EXPECT_GT(camera.target->position.z, camera.position.z);
    EXPECT_NEAR(camera.fov, 0.8f, 1e-3f);

    ASSERT_EQ(scene->lights.size(), 1u);
    const CLight& lamp = *scene->lights[0];
    EXPECT_EQ(lamp.Name(), "Lamp.Halo");
    EXPECT_TRUE(lamp.halo);
    EXPECT_TRUE(lamp.IsSpot());
    expectNear(lamp.position, 0, 5, 0);
    EXPECT_NEAR(lamp.targetPosition.x, 0.0f, kTolerance);
    EXPECT_NEAR(lamp.targetPosition.y, 5.0f, kTolerance);
    EXPECT_GT(lamp.targetPosition.z, 0.0f);
    expectNear(lamp.colour, 1, 0.5f, 0);
    EXPECT_NEAR(lamp.innerCone, 0.2f, kTolerance);
    EXPECT_NEAR(lamp.outerCone, 0.6f, kTolerance);
}

TEST_F(GltfConversionTest, AnimationIsSampledAtThirtyFramesASecond) {
    EXPECT_EQ(scene->lastFrame, 30u);
    // Spinner's parent does not move, so its track is in the scene's coordinates.
    const C3DObjectAnim* spin = animNamed(*scene, "Spinner");
    ASSERT_NE(spin, nullptr);
    ASSERT_EQ(spin->position.size(), 31u);
    ASSERT_EQ(spin->rotation.size(), 31u);
    ASSERT_EQ(spin->scale.size(), 31u);
    EXPECT_EQ(spin->position[15].frame, 15u);
    const auto& middle = spin->position[15].values;
    EXPECT_NEAR(middle[0], 10.0f, kTolerance);
    EXPECT_NEAR(middle[1], 1.5f, kTolerance);
    EXPECT_NEAR(middle[2], -5.0f, kTolerance);
    EXPECT_NEAR(spin->scale[15].values[0], 1.0f, kTolerance);

    // Half way through the turn: 45 degrees about y, whose sense the mirror reverses.
    auto q = spin->rotation[15].values;
    if (q[3] < 0.0f) {
        for (int i = 0; i < 4; ++i) {
            q[i] = -q[i];
        }
    }
    EXPECT_NEAR(q[0], 0.0f, kTolerance);
    EXPECT_NEAR(q[1], -std::sin(0.3926991f), kTolerance);
    EXPECT_NEAR(q[2], 0.0f, kTolerance);
    EXPECT_NEAR(q[3], std::cos(0.3926991f), kTolerance);

    // Below a moving parent, an object that does not move itself gets one
    // key of its place relative to that parent.
    const C3DObjectAnim* child = animNamed(*scene, "Spinner.Child");
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(child->position.size(), 1u);
    EXPECT_NEAR(child->position[0].values[2], -2.0f, kTolerance);
    EXPECT_EQ(animNamed(*scene, "Glass.Alpha"), nullptr);
}

// The converted file played as a model player plays it: loaded with the
// steps after the load and drawn at frames of its animation.
TEST_F(GltfConversionTest, TheConvertedAnimationPlays) {
    RecordingModule module;
    module.Initialize(nullptr, false, 640, 480, 32);
    CScene played(&module);
    played.Load((dir / "model.VestaMDL4").string());
    // The spinner stands outside the camera's view; its matrix is made anyway.
    auto spinnerAt = [&](float frame) {
        module.ClearCalls();
        played.Render(frame);
        return played.FindObject("Spinner")->worldMatrix;
    };
    const Matrix4 start = spinnerAt(0);
    const Matrix4 middle = spinnerAt(15);
    // Up by 1.5 and a quarter of the way round at half time.
    EXPECT_NEAR(middle.m[3][1] - start.m[3][1], 1.5f, 1e-3f);
    EXPECT_NEAR(middle.m[0][0], std::cos(0.7853982f), 1e-3f);
    EXPECT_NEAR(start.m[0][0], 1.0f, 1e-3f);
    played.ReleaseResources();
}

// One mesh of 70002 vertices (23334 separate triangles) needs 16-bit indices.
TEST(GltfLargeMeshTest, IsSplitSoThatEveryIndexFitsInSixteenBits) {
    constexpr int kTriangles = 23334;
    std::vector<float> positions;
    for (int t = 0; t < kTriangles; ++t) {
        const float x = static_cast<float>(t);
        positions.insert(positions.end(), {x, 0, 0, x + 0.5f, 0, 0, x, 1, 0});
    }
    GltfBuffer buffer;
    const int accessor = buffer.AddFloats(positions, "VEC3", 3);
    const std::string gltf = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],)"
                             R"("nodes":[{"name":"Big.NoCull","mesh":0}],)"
                             R"("meshes":[{"primitives":[{"attributes":{"POSITION":)" +
                             std::to_string(accessor) + R"(}}]}],)" + buffer.Json() + "}";
    TempDir dir;
    const auto scene = convertAndLoad(dir, gltf);
    ASSERT_GE(scene->meshes.size(), 2u);
    std::size_t faces = 0;
    for (const CMeshe* part : scene->meshes) {
        EXPECT_LE(part->vertices.size(), 65535u);
        EXPECT_NE(part->Name().find(".NoCull"), std::string::npos) << part->Name();
        faces += part->faces.size();
    }
    EXPECT_EQ(scene->meshes[0]->Name(), "Big.NoCull");
    EXPECT_EQ(scene->meshes[1]->Name(), "Big.NoCull#2");
    EXPECT_EQ(faces, static_cast<std::size_t>(kTriangles));
}

// A triangle skinned to Bone.Root and Bone.Tip (one up from the root), its
// texture a PNG inside the file.
TEST(GltfSkinTest, BonesWeightsAndEmbeddedTextureSurvive) {
    GltfBuffer buffer;
    const int positions = buffer.AddFloats({0, 0, 0, 1, 0, 0, 0, 2, 0}, "VEC3", 3);
    const int joints = buffer.AddJoints({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    const int weights = buffer.AddFloats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4", 4);
    const int inverseBinds = buffer.AddFloats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0,  0, 1,
                                               1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -1, 0, 1},
                                              "MAT4", 16);
    const std::string png = "\x89PNG\r\n\x1a\n-not-decoded-by-the-converter";
    auto n = [](int index) { return std::to_string(index); };
    const std::string gltf =
        R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,2]}],"nodes":[)"
        R"({"name":"Bone.Root","children":[1]},{"name":"Bone.Tip","translation":[0,1,0]},)"
        R"({"name":"Skinned","mesh":0,"skin":0}],)"
        R"("skins":[{"joints":[0,1],"inverseBindMatrices":)" +
        n(inverseBinds) + R"(}],"meshes":[{"primitives":[{"attributes":{"POSITION":)" +
        n(positions) + R"(,"JOINTS_0":)" + n(joints) + R"(,"WEIGHTS_0":)" + n(weights) +
        R"(},"material":0}]}],"materials":[{"name":"Skin","pbrMetallicRoughness":{)"
        R"("baseColorTexture":{"index":0}}}],"textures":[{"source":0}],)"
        R"("images":[{"uri":"data:image/png;base64,)" +
        Base64(std::vector<std::uint8_t>(png.begin(), png.end())) + R"("}],)" + buffer.Json() + "}";
    TempDir dir;
    WriteFile(dir / "skin.gltf", gltf);
    CScene converted;
    mdltool::ConvertOptions options;
    options.textureFolder = dir.Path().string();
    options.textureStem = "skin";
    const auto summary = mdltool::ConvertModel((dir / "skin.gltf").string(), converted, options);
    WriteFile(dir / "skin.VestaMDL4", mdl4::WriteScene(converted));
    CScene scene;
    LoadScene(scene, (dir / "skin.VestaMDL4").string());

    const auto* skinned = dynamic_cast<CMeshe*>(scene.FindObject("Skinned"));
    ASSERT_NE(skinned, nullptr);
    ASSERT_EQ(skinned->bones.size(), 2u);
    const CBone& root = *skinned->bones[0];
    const CBone& tip = *skinned->bones[1];
    EXPECT_EQ(root.Name(), "Bone.Root");
    EXPECT_EQ(tip.Name(), "Bone.Tip");
    EXPECT_EQ(tip.parent, &root);
    // Row-major with the translation in the fourth row: into the tip's frame is down by one.
    EXPECT_NEAR(tip.restMatrix.m[3][1], -1.0f, kTolerance);
    EXPECT_NEAR(tip.restMatrix.m[1][3], 0.0f, kTolerance);
    ASSERT_EQ(tip.ownAnim.position.size(), 1u);
    EXPECT_NEAR(tip.ownAnim.position[0].values[1], 1.0f, kTolerance);
    std::size_t weightCount = 0;
    for (const auto& bone : skinned->bones) {
        for (const BoneWeight& weight : bone->weights) {
            EXPECT_LT(weight.vertex, skinned->vertices.size());
            EXPECT_NEAR(weight.weight, 1.0f, kTolerance);
            ++weightCount;
        }
    }
    EXPECT_EQ(weightCount, 3u);
    EXPECT_EQ(tip.weights.size(), 1u);

    ASSERT_EQ(summary.texturesWritten.size(), 1u);
    EXPECT_EQ(ReadFile(dir / "skin_0.png"), png);
    bool named = false;
    for (const auto& material : scene.materials) {
        named = named || (material->name == "Skin" && !material->maps.empty() &&
                          material->maps[0].path == "skin_0.png");
    }
    EXPECT_TRUE(named);
}

}  // namespace
}  // namespace vesta::test
