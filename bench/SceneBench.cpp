// The scene's figures beside references on the same data:
//  - loading a model file of 1 M vertices (16 grids of 65 536) through the
//    scene, post-load steps included, beside reading its bytes into memory;
//    goal: at least half the byte-reading rate;
//  - one frame's evaluation of N animated objects (position, rotation and
//    scale tracks of 60 keys, half of them below another), through a render
//    module that draws nothing; goal: the time per object flat from 10 to
//    1000 objects (at 1000 within 1.25 of that at 10);
//  - skinning 50 000 vertices on three bones through SkinMesh, beside a
//    hand-written loop of the same arithmetic on the same vertices.
// The drawn scene's figures are in SceneDrawBench.cpp. Each pair is printed
// side by side after the table, from the medians of the repetitions.

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "render/RecordingModule.h"
#include "scene/Animation.h"
#include "scene/Mdl4Writer.h"
#include "scene/MeshGeometry.h"
#include "scene/SceneBuild.h"

namespace {

using vesta::Vector3;

// Every file the benchmarks make lives here; the current folder while they run.
struct BenchFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vesta-scene-bench-" + std::to_string(getpid()));
    BenchFolder() {
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
        std::filesystem::remove_all(path, ignored);
    }
};

void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// --- loading ----------------------------------------------------------------------------

constexpr const char* kLargeFile = "large.vestamdl4";
constexpr int kLargeMeshes = 16;

// Made once: 16 grids of 255 x 255 cells (65 536 vertices, 130 050 faces each).
std::uintmax_t largeFileSize() {
    static const std::uintmax_t size = [] {
        vesta::CScene scene;
        scene.lastFrame = 100;
        vesta::AddMaterial(scene, "Plain", {0.8f, 0.8f, 0.8f});
        for (int i = 0; i < kLargeMeshes; ++i) {
            vesta::AddGrid(
                scene, "Grid" + std::to_string(i),
                {static_cast<float>(i % 4) * 110.0f, static_cast<float>(i / 4) * 110.0f, 0.0f},
                100.0f, 100.0f, 255, 255, "Plain");
        }
        vesta::AddCamera(scene, "Camera01", {150, 150, -400}, {150, 150, 0}, 0.8f);
        vesta::CountGeometry(scene);
        writeFile(kLargeFile, vesta::mdl4::WriteScene(scene));
        return std::filesystem::file_size(kLargeFile);
    }();
    return size;
}

// The least any loader does: the file's bytes into a fresh buffer.
void BM_ReadFileBytes(benchmark::State& state) {
    const std::uintmax_t size = largeFileSize();
    for (auto _ : state) {
        std::ifstream file(kLargeFile, std::ios::binary);
        std::unique_ptr<char[]> bytes(new char[size]);
        file.read(bytes.get(), static_cast<std::streamsize>(size));
        benchmark::DoNotOptimize(bytes.get()[size / 2]);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_LoadScene(benchmark::State& state) {
    const std::uintmax_t size = largeFileSize();
    for (auto _ : state) {
        vesta::CScene scene(nullptr);
        scene.Load(kLargeFile);
        benchmark::DoNotOptimize(scene.totalVertices);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["vertices"] = static_cast<double>(kLargeMeshes * 256 * 256);
}

// --- evaluation -------------------------------------------------------------------------

// Takes the scene's calls and its draws' state but keeps nothing of the draws.
class EvaluationModule : public vesta::RecordingModule {
protected:
    void drawPrimitives(const vesta::DrawCall&) override { ++m_draws; }

public:
    std::int64_t m_draws = 0;
};

constexpr std::uint32_t kKeys = 60, kKeyStep = 5;

vesta::AnimKey rotationKey(std::uint32_t frame, float angle, const Vector3& axis) {
    vesta::AnimKey key;
    key.frame = frame;
    const float s = std::sin(angle * 0.5f);
    key.values = {axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f), 0.0f, 0.0f};
    return key;
}

// N boxes on a grid in front of the camera, each odd one below the one
// before it, all moving, turning and growing.
void buildAnimatedScene(vesta::CScene& scene, int count) {
    scene.lastFrame = kKeys * kKeyStep;
    vesta::AddMaterial(scene, "Grey", {0.6f, 0.6f, 0.6f});
    const int columns = static_cast<int>(std::ceil(std::sqrt(count * 4.0 / 3.0)));
    const int rows = (count + columns - 1) / columns;
    constexpr float spacing = 12.0f;
    vesta::CMeshe* previous = nullptr;
    Vector3 previousPivot;
    for (int i = 0; i < count; ++i) {
        const std::string name = "Object" + std::to_string(i);
        const Vector3 pivot{
            (static_cast<float>(i % columns) - 0.5f * static_cast<float>(columns - 1)) * spacing,
            (static_cast<float>(i / columns) - 0.5f * static_cast<float>(rows - 1)) * spacing,
            0.0f};
        vesta::C3DObject* parent = i % 2 ? previous : nullptr;
        // A child's track moves it relative to its parent.
        const Vector3 base =
            parent ? Vector3{pivot.x - previousPivot.x, pivot.y - previousPivot.y, 0} : pivot;
        previous = &vesta::AddBox(scene, name, pivot, {4, 4, 4}, "Grey", parent);
        previousPivot = pivot;
        vesta::C3DObjectAnim& anim = vesta::AddAnimation(scene, name);
        const Vector3 axis{0.0f, 0.0f, 1.0f};
        for (std::uint32_t k = 0; k < kKeys; ++k) {
            const float t = static_cast<float>(k) * 0.3f + static_cast<float>(i);
            vesta::AddKey(anim.position, k * kKeyStep,
                          Vector3{base.x + std::sin(t), base.y + std::cos(t), 0.5f * std::sin(t)});
            anim.rotation.push_back(rotationKey(k * kKeyStep, t, axis));
            vesta::AddKey(anim.scale, k * kKeyStep, Vector3{1.0f, 1.0f + 0.2f * std::sin(t), 1.0f});
        }
    }
    // Far enough back to see every box.
    const float halfWidth = 0.5f * static_cast<float>(columns + 2) * spacing;
    const float halfHeight = 0.5f * static_cast<float>(rows + 2) * spacing;
    const float distance = 1.2f * std::max(halfWidth / 0.56f, halfHeight / 0.42f);
    vesta::AddCamera(scene, "Camera01", {0, 0, -distance}, {0, 0, 0}, 0.8f);
    vesta::CountGeometry(scene);
}

void BM_EvaluateObjects(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string file = "animated" + std::to_string(count) + ".vestamdl4";
    {
        vesta::CScene built;
        buildAnimatedScene(built, count);
        writeFile(file, vesta::mdl4::WriteScene(built));
    }
    EvaluationModule module;
    vesta::RenderDriver& driver = module.GetDriver(0);
    module.SelectDriver(&driver);
    module.SelectDevice(driver.devices.at(0).get());
    module.Initialize(nullptr, false, 640, 480, 32);
    module.SetNearPlane(1.0f);
    module.SetFarPlane(20000.0f);
    vesta::CScene scene(&module);
    scene.Load(file);
    if (scene.movingObjects.size() != static_cast<std::size_t>(count)) {
        state.SkipWithError("not every object moves");
    }
    float frame = 0.0f;
    for (auto _ : state) {
        module.BeginFrame();
        scene.Render(frame);
        module.EndFrame();
        module.ClearCalls();
        frame += 0.7f;
    }
    scene.ReleaseResources();
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["per_object"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["drawn"] =
        static_cast<double>(module.m_draws) / static_cast<double>(state.iterations());
}

// --- skinning ---------------------------------------------------------------------------

constexpr int kSkinColumns = 250, kSkinRows = 200, kBones = 3;

// 250 x 200 vertices on three bones, every vertex weighted by two of them.
std::unique_ptr<vesta::CMeshe> skinnedMesh() {
    auto mesh = std::make_unique<vesta::CMeshe>();
    for (int row = 0; row < kSkinRows; ++row) {
        for (int column = 0; column < kSkinColumns; ++column) {
            vesta::MeshVertex vertex;
            vertex.position = {static_cast<float>(column), static_cast<float>(row), 0.0f};
            vertex.normal = {0, 0, -1};
            mesh->vertices.push_back(vertex);
        }
    }
    mesh->restVertices = mesh->vertices;
    const auto vertexCount = static_cast<std::uint32_t>(mesh->vertices.size());
    for (int b = 0; b < kBones; ++b) {
        auto bone = std::make_unique<vesta::CBone>();
        bone->SetName("Bone" + std::to_string(b));
        bone->restMatrix = vesta::TranslationMatrix({-40.0f * static_cast<float>(b), -50.0f, 0.0f});
        const Vector3 axis = b == 1 ? Vector3{0, 1, 0} : Vector3{0, 0, 1};
        for (std::uint32_t k = 0; k < kKeys; ++k) {
            bone->ownAnim.rotation.push_back(rotationKey(
                k * kKeyStep, 0.05f * static_cast<float>(k) + static_cast<float>(b), axis));
        }
        for (std::uint32_t v = 0; v < vertexCount; ++v) {
            const auto own = static_cast<std::uint32_t>(b);
            if (v % kBones == own) {
                bone->weights.push_back({v, 0.7f});
            } else if ((v + 1) % kBones == own) {
                bone->weights.push_back({v, 0.3f});
            }
        }
        mesh->bones.push_back(std::move(bone));
    }
    return mesh;
}

void BM_SkinMesh(benchmark::State& state) {
    const auto mesh = skinnedMesh();
    float frame = 0.0f;
    for (auto _ : state) {
        vesta::SkinMesh(*mesh, frame);
        benchmark::DoNotOptimize(mesh->vertices.data());
        frame = std::fmod(frame + 0.7f, static_cast<float>(kKeys * kKeyStep));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mesh->vertices.size()));
}

// The same per-bone matrix, then per weight the rest position through it,
// accumulated, with nothing between the loop and the arrays.
void skinByHand(vesta::CMeshe& mesh, float frame) {
    vesta::MeshVertex* out = mesh.vertices.data();
    const vesta::MeshVertex* rest = mesh.restVertices.data();
    const std::size_t count = mesh.vertices.size();
    for (std::size_t i = 0; i < count; ++i) {
        out[i].position = {};
    }
    for (const auto& bone : mesh.bones) {
        const vesta::Matrix4 m =
            bone->restMatrix *
            vesta::AxisAngleMatrix(vesta::EvaluateRotation(bone->ownAnim.rotation, frame));
        const float m00 = m.m[0][0], m01 = m.m[0][1], m02 = m.m[0][2];
        const float m10 = m.m[1][0], m11 = m.m[1][1], m12 = m.m[1][2];
        const float m20 = m.m[2][0], m21 = m.m[2][1], m22 = m.m[2][2];
        const float m30 = m.m[3][0], m31 = m.m[3][1], m32 = m.m[3][2];
        for (const vesta::BoneWeight& weight : bone->weights) {
            const Vector3& p = rest[weight.vertex].position;
            Vector3& q = out[weight.vertex].position;
            const float w = weight.weight;
            q.x += (p.x * m00 + p.y * m10 + p.z * m20 + m30) * w;
            q.y += (p.x * m01 + p.y * m11 + p.z * m21 + m31) * w;
            q.z += (p.x * m02 + p.y * m12 + p.z * m22 + m32) * w;
        }
    }
}

void BM_SkinByHand(benchmark::State& state) {
    const auto mesh = skinnedMesh();
    float frame = 0.0f;
    for (auto _ : state) {
        skinByHand(*mesh, frame);
        benchmark::DoNotOptimize(mesh->vertices.data());
        frame = std::fmod(frame + 0.7f, static_cast<float>(kKeys * kKeyStep));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mesh->vertices.size()));
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_EvaluateObjects)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinMesh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinByHand)->Unit(benchmark::kMicrosecond);

// --- the ratios -------------------------------------------------------------------------

// Keeps each benchmark's counters (the median's when there are repetitions)
// for the comparison printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_medians[name] = run.counters;
            } else if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                m_last[name] = run.counters;
            }
        }
    }

    // The named counter of the benchmark `prefix`, with whatever arguments
    // follow it; NaN when none ran.
    double Value(const std::string& prefix, const std::string& counter) const {
        for (const auto* table : {&m_medians, &m_last}) {
            for (const auto& [name, counters] : *table) {
                const auto found = counters.find(counter);
                const bool named = name == prefix || name.rfind(prefix + "/", 0) == 0;
                if (named && found != counters.end()) {
                    return found->second.value;
                }
            }
        }
        return NAN;
    }

private:
    std::map<std::string, benchmark::UserCounters> m_medians;
    std::map<std::string, benchmark::UserCounters> m_last;
};

// One line per pair: both medians in `unit` (the counter divided by
// `scale`), their ratio and the goal's verdict when there is one.
void printPair(const RatioReporter& r, const char* what, const char* project, const char* reference,
               const char* counter, double scale, const char* unit, double goal) {
    const double ours = r.Value(project, counter), theirs = r.Value(reference, counter);
    if (std::isnan(ours) || std::isnan(theirs)) {
        return;
    }
    std::printf("%-36s %8.2f vs %8.2f %-4s ratio %.3f", what, ours / scale, theirs / scale, unit,
                ours / theirs);
    if (goal > 0.0) {
        std::printf("   (goal >= %.2f: %s)", goal, ours / theirs >= goal ? "met" : "NOT met");
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    BenchFolder folder;
    // Medians of three runs taken in random order, so that the load of a
    // shared machine falls on both sides of each pair; flags given on the
    // command line come later and win.
    std::vector<char*> args{argv[0]};
    char repetitions[] = "--benchmark_repetitions=3";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.end(), {repetitions, interleaving, aggregates});
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    printPair(reporter, "scene load vs reading the bytes", "BM_LoadScene", "BM_ReadFileBytes",
              "bytes_per_second", 1e9, "GB/s", 0.5);
    const double per10 = reporter.Value("BM_EvaluateObjects/10", "per_object");
    const double per100 = reporter.Value("BM_EvaluateObjects/100", "per_object");
    const double per1000 = reporter.Value("BM_EvaluateObjects/1000", "per_object");
    if (!std::isnan(per10) && !std::isnan(per1000)) {
        std::printf("%-36s %.0f / %.0f / %.0f ns   (1000 vs 10: %.2f, goal <= 1.25: %s)\n",
                    "evaluation per object, 10/100/1000", per10 * 1e9, per100 * 1e9, per1000 * 1e9,
                    per1000 / per10, per1000 / per10 <= 1.25 ? "met" : "NOT met");
    }
    printPair(reporter, "SkinMesh vs hand-written loop", "BM_SkinMesh", "BM_SkinByHand",
              "items_per_second", 1e6, "M/s", 0.0);
    printPair(reporter, "scene renderer vs hand-written GL", "BM_SceneRenderer", "BM_HandWrittenGl",
              "fps", 1.0, "fps", 0.9);
    benchmark::Shutdown();
    return 0;
}
