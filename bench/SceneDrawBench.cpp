// Frames per second of a lit, textured scene of 102 400 triangles (four
// grids of 160 x 80 cells filling the screen, one textured material, two
// dynamic point lights) at 640 x 480: loaded and drawn by the scene through
// the OpenGL module, beside a hand-written OpenGL 3.3 program drawing the
// same vertices, with the same lights and texture, from buffers uploaded
// once. Every frame ends with glFinish, so the time covers the rasterising.
// Goal: the scene at 0.9 of the hand-written rate or better.
//
// Files go to the current folder, which main makes for the benchmarks.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>
#include <fstream>
#include <string>
#include <vector>

#include "PictureWriters.h"
#include "platform/Clock.h"
#include "render/Camera.h"
#include "render/gl/EglContext.h"
#include "render/gl/GlModule.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/SceneBuild.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kTextureSize = 256;
constexpr float kNear = 1.0f, kFar = 1000.0f;
constexpr const char* kSceneFile = "lit.vestamdl4";

void writeBytes(const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The model file and its texture, made once.
void makeSceneFiles() {
    static const bool made = [] {
        vesta::CScene scene;
        scene.lastFrame = 100;
        vesta::AddMaterial(scene, "Textured", {0.9f, 0.9f, 0.9f}).maps = {{"Diffuse", "bench.png"}};
        for (int i = 0; i < 4; ++i) {
            const vesta::Vector3 pivot{i % 2 ? 30.0f : -30.0f, i / 2 ? 23.0f : -23.0f, 0.0f};
            vesta::AddGrid(scene, "Grid" + std::to_string(i), pivot, 60.0f, 46.0f, 160, 80,
                           "Textured");
        }
        vesta::AddCamera(scene, "Camera01", {0, 0, -100}, {0, 0, 0}, 0.8f);
        vesta::AddLight(scene, "Lamp1.Dyna", {-30, 20, -60}, {1.0f, 0.9f, 0.8f});
        vesta::AddLight(scene, "Lamp2.Dyna", {40, -10, -50}, {0.3f, 0.4f, 0.8f});
        vesta::CountGeometry(scene);
        writeBytes(kSceneFile, vesta::mdl4::WriteScene(scene));
        writeBytes("bench.png", vesta::test::SimplePng(kTextureSize, kTextureSize));
        return true;
    }();
    (void)made;
}

// Pixels not left at the clear colour (black), counted once after the run:
// both benchmarks must cover the same screen.
double coveredShare(const std::uint8_t* pixels, int pitch) {
    int covered = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* p = pixels + y * pitch + x * 4;
            covered += (p[0] | p[1] | p[2]) != 0;
        }
    }
    return static_cast<double>(covered) / (kWidth * kHeight);
}

void BM_SceneRenderer(benchmark::State& state) {
    makeSceneFiles();
    vesta::GlModule module;
    vesta::RenderDriver& driver = module.GetDriver(0);
    module.SelectDriver(&driver);
    module.SelectDevice(driver.devices.at(0).get());
    module.Initialize(nullptr, false, kWidth, kHeight, 32);
    module.SetClearColor(0, 0, 0, 0);
    vesta::SetFixedStep(true, 30.0f);
    vesta::CScene scene(&module);
    scene.Load(kSceneFile);
    scene.LoadTextures();
    if (scene.materials.empty() || scene.materials.front()->textures.empty() ||
        !scene.materials.front()->textures.front()) {
        state.SkipWithError("the texture did not load");
    }
    float frame = 0.0f;
    for (auto _ : state) {
        module.BeginFrame();
        module.Clear(0);
        module.SetNearPlane(kNear);
        module.SetFarPlane(kFar);
        module.SetCullMode(vesta::CullMode::CounterClockwise);
        module.ApplyCamera();
        module.SetDepthTest(true);
        module.SetDepthWrite(true);
        scene.Render(frame);
        module.EndFrame();
        module.Present(0);
        glFinish();
        frame += 1.0f;
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = scene.facesDrawn;
    int pitch = 0;
    state.counters["covered"] = coveredShare(module.LockBackBuffer(pitch), pitch);
    module.UnlockBackBuffer();
    scene.ReleaseResources();
}

const char* handVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 3) in vec2 aTex0;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform vec3 uLightPosition[2];  // in view space
uniform vec3 uLightDiffuse[2];
uniform vec3 uLightAttenuation[2];
uniform vec4 uMaterialDiffuse;
out vec4 vColour;
out vec2 vTex;
void main() {
    vec4 eye = uWorldView * vec4(aPosition, 1.0);
    vec4 clip = uProjection * eye;
    gl_Position = vec4(clip.x, -clip.y, 2.0 * clip.z - clip.w, clip.w);
    vec3 N = mat3(uWorldView) * aNormal;
    vec3 diffuse = vec3(0.0);
    for (int i = 0; i < 2; ++i) {
        vec3 toLight = uLightPosition[i] - eye.xyz;
        float d = length(toLight);
        vec3 a = uLightAttenuation[i];
        diffuse += uLightDiffuse[i] * (max(dot(N, toLight / d), 0.0) / (a.x + a.y * d + a.z * d * d));
    }
    vColour = vec4(clamp(uMaterialDiffuse.rgb * diffuse, 0.0, 1.0), uMaterialDiffuse.a);
    vTex = aTex0;
}
)";
const char* handFragment = R"(#version 330 core
uniform sampler2D uTexture;
in vec4 vColour;
in vec2 vTex;
out vec4 colour;
void main() { colour = vec4(texture(uTexture, vTex).rgb * vColour.rgb, vColour.a); }
)";

GLuint handProgram() {
    const GLuint program = glCreateProgram();
    for (auto [type, text] :
         {std::pair{GL_VERTEX_SHADER, handVertex}, {GL_FRAGMENT_SHADER, handFragment}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

// A frame buffer of the module's formats and the texture of the material,
// texel for texel as the picture file holds it.
struct HandTarget {
    vesta::gl::EglContext context{vesta::gl::ContextKind::Core33};
    GLuint framebuffer = 0, buffers[2] = {0, 0}, texture = 0;

    HandTarget() {
        glGenRenderbuffers(2, buffers);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kWidth, kHeight);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  buffers[1]);
        glViewport(0, 0, kWidth, kHeight);
        std::vector<std::uint8_t> texels;
        for (int i = 0; i < kTextureSize * kTextureSize; ++i) {
            texels.insert(texels.end(), {static_cast<std::uint8_t>(i * 40),
                                         static_cast<std::uint8_t>(255 - i * 40), 128, 255});
        }
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    ~HandTarget() {
        glDeleteTextures(1, &texture);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(2, buffers);
    }
};

struct HandMesh {
    GLuint array = 0, buffers[2] = {0, 0};
    GLsizei indexCount = 0;
    vesta::Matrix4 world;
};

// The mesh's vertices as they are, its faces as 16-bit indices, both once.
HandMesh uploadMesh(const vesta::CMeshe& mesh) {
    HandMesh out;
    out.world = mesh.worldMatrix;
    std::vector<std::uint16_t> indices;
    for (const vesta::MeshFace& face : mesh.faces) {
        indices.insert(indices.end(),
                       {static_cast<std::uint16_t>(face.a), static_cast<std::uint16_t>(face.b),
                        static_cast<std::uint16_t>(face.c)});
    }
    out.indexCount = static_cast<GLsizei>(indices.size());
    glGenVertexArrays(1, &out.array);
    glBindVertexArray(out.array);
    glGenBuffers(2, out.buffers);
    glBindBuffer(GL_ARRAY_BUFFER, out.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(vesta::MeshVertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, out.buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2),
                 indices.data(), GL_STATIC_DRAW);
    const GLsizei stride = sizeof(vesta::MeshVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(28));
    glBindVertexArray(0);
    return out;
}

void BM_HandWrittenGl(benchmark::State& state) {
    makeSceneFiles();
    // The scene as the renderer sees it after its load: meshes placed,
    // material bound, lights and camera from the file.
    vesta::CScene scene(nullptr);
    scene.Load(kSceneFile);
    HandTarget target;
    const GLuint program = handProgram();
    glUseProgram(program);
    auto at = [program](const char* name) { return glGetUniformLocation(program, name); };

    const vesta::CCamera& camera = *scene.CurrentCamera();
    const vesta::Vector3 eye{camera.position.x, camera.position.y, camera.position.z};
    const vesta::Vector3 aim{camera.target->position.x, camera.target->position.y,
                             camera.target->position.z};
    const vesta::Matrix4 view = vesta::CameraViewMatrix(eye, aim, camera.roll);
    const vesta::Matrix4 projection =
        *vesta::CameraProjectionMatrix(camera.fov, kNear, kFar, float(kHeight) / kWidth);
    glUniformMatrix4fv(at("uProjection"), 1, GL_FALSE, &projection.m[0][0]);
    float positions[2][3], colours[2][3], attenuations[2][3];
    for (int i = 0; i < 2; ++i) {
        const vesta::CLight& light = *scene.dynamicLights.at(static_cast<std::size_t>(i));
        const vesta::Vector3 p =
            vesta::TransformPoint({light.position.x, light.position.y, light.position.z}, view);
        std::copy_n(&p.x, 3, positions[i]);
        std::copy_n(&light.colour.x, 3, colours[i]);
        attenuations[i][0] = light.attenuation0;
        attenuations[i][1] = light.attenuation1;
        attenuations[i][2] = light.attenuation2;
    }
    glUniform3fv(at("uLightPosition"), 2, &positions[0][0]);
    glUniform3fv(at("uLightDiffuse"), 2, &colours[0][0]);
    glUniform3fv(at("uLightAttenuation"), 2, &attenuations[0][0]);
    const vesta::ColourValue& diffuse = scene.materials.front()->colour1;
    glUniform4f(at("uMaterialDiffuse"), diffuse.r, diffuse.g, diffuse.b,
                scene.materials.front()->opacity);
    glUniform1i(at("uTexture"), 0);
    const GLint worldView = at("uWorldView");

    std::vector<HandMesh> meshes;
    for (const vesta::CMeshe* mesh : scene.meshes) {
        meshes.push_back(uploadMesh(*mesh));
    }
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 0);
    int triangles = 0;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        triangles = 0;
        for (const HandMesh& mesh : meshes) {
            const vesta::Matrix4 m = mesh.world * view;
            glUniformMatrix4fv(worldView, 1, GL_FALSE, &m.m[0][0]);
            glBindVertexArray(mesh.array);
            glDrawElements(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_SHORT, nullptr);
            triangles += mesh.indexCount / 3;
        }
        glFinish();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = triangles;
    std::vector<std::uint8_t> pixels(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    state.counters["covered"] = coveredShare(pixels.data(), kWidth * 4);
    for (HandMesh& mesh : meshes) {
        glDeleteBuffers(2, mesh.buffers);
        glDeleteVertexArrays(1, &mesh.array);
    }
    glDeleteProgram(program);
}

BENCHMARK(BM_SceneRenderer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HandWrittenGl)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
