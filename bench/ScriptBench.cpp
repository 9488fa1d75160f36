// Throughput of reading a large generated script: preprocessing (tags,
// comments, constants, includes, joins) and parsing into parts, blocks and
// operations, in bytes of script source per second; and the cost of one
// timeline frame with 1, 100 and 1000 live layers on the recording module.

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "render/RecordingModule.h"
#include "script/ScriptParser.h"
#include "timeline/LayerFactory.h"
#include "timeline/Timeline.h"

namespace {

// About `bytes` of script in the shape productions have: constants used as
// cursors, commented effect blocks with nested modifiers, joined lines.
std::string generateScript(std::size_t bytes) {
    std::mt19937 random(7);
    std::string text = "SHOWFPS Yes;\r\nDEFINE \"T = 0\";\r\nDEFINE \"Scene = 12.5\";\r\n";
    int part = 0;
    while (text.size() < bytes) {
        text += "PART { // part " + std::to_string(part++) + "\r\n";
        text += "    LOADINGIMG \"gfx/loading.jpg, .5, .5\";\r\n";
        text += "    LOADINGANIM \"a.jpg, .4, -.4, .1, .1;\"&\r\n"
                "                \"b.jpg, .4, -.4, .1, .1;\";\r\n";
        for (int block = 0; block < 40; ++block) {
            text += "    TIME T+=" + std::to_string(random() % 5 + 1) + ".5 {\r\n";
            text += "        DESC \"Block " + std::to_string(block) + "\";\r\n";
            text += "        /* a comment over\r\n           two lines */\r\n";
            text += "        CREATE \"MDLPlayer\" {\r\n";
            text += "            NAME \"Player" + std::to_string(block) + "\";\r\n";
            text += "            StartTime Scene+0.25;   // relative start\r\n";
            text +=
                "            MDLFile \"models/scene" + std::to_string(random() % 9) + ".mdl\";\r\n";
            text += "            CREATE \"Fog\" {\r\n                StableTime 4;\r\n"
                    "            }\r\n";
            text += "        };\r\n";
            text += "        UPDATE \"Player" + std::to_string(block) +
                    "\" {\r\n            RESTART Yes;\r\n            MOVE Top;\r\n        }\r\n";
            text += "    };\r\n";
        }
        text += "    TIME T+=2 {\r\n        PARTEND;\r\n    };\r\n}\r\n";
    }
    return text;
}

struct ScriptFolder {
    std::filesystem::path folder;
    std::size_t size = 0;

    ScriptFolder() {
        folder = std::filesystem::temp_directory_path() /
                 ("vesta-script-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        const std::string script = generateScript(16u << 20);
        size = script.size();
        std::ofstream(folder / "main.txt", std::ios::binary) << script;
        std::filesystem::current_path(folder);
    }
    ~ScriptFolder() {
        std::error_code ignored;
        std::filesystem::current_path(folder.parent_path(), ignored);
        std::filesystem::remove_all(folder, ignored);
    }
};

ScriptFolder& scriptFolder() {
    static ScriptFolder folder;
    return folder;
}

void BM_Preprocess(benchmark::State& state) {
    const std::size_t size = scriptFolder().size;
    for (auto _ : state) {
        vesta::ParsedScript script;
        vesta::CScriptParser parser(script);
        benchmark::DoNotOptimize(parser.Preprocess("main.txt"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_Preprocess)->Unit(benchmark::kMillisecond);

void BM_Parse(benchmark::State& state) {
    const std::size_t size = scriptFolder().size;
    vesta::ParsedScript unused;
    const std::string text = vesta::CScriptParser(unused).Preprocess("main.txt");
    for (auto _ : state) {
        vesta::ParsedScript script;
        vesta::CScriptParser(script).Parse(text);
        benchmark::DoNotOptimize(script.parts.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    const std::size_t size = scriptFolder().size;
    std::size_t parts = 0;
    for (auto _ : state) {
        vesta::ParsedScript script;
        vesta::CScriptParser(script).Load("main.txt");
        parts = script.parts.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["parts"] = static_cast<double>(parts);
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

class IdleLayer : public vesta::CLayer {
public:
    using CLayer::CLayer;
    void Start() override {}
    void Release() override {}
    const char* GetClassName() const override { return "CIdleLayer"; }
    void Render() override { benchmark::ClobberMemory(); }
};

std::unique_ptr<vesta::CLayer> makeIdle(vesta::RenderModule* renderModule,
                                        const std::vector<vesta::CLayerOperation>* children) {
    return std::make_unique<IdleLayer>(renderModule, children);
}

// One frame of a part whose stack holds `range(0)` named, live layers. The
// cost per layer (the "per_layer" counter) should not grow with the count.
void BM_RunFrame(benchmark::State& state) {
    scriptFolder();
    const auto layers = static_cast<int>(state.range(0));
    std::string script = "PART {\r\nTIME -1 {\r\n";
    for (int i = 0; i < layers; ++i) {
        script += "CREATE \"Idle\" {\r\nNAME \"L" + std::to_string(i) + "\";\r\n}\r\n";
    }
    script += "}\r\nTIME 1000000 {\r\nPARTEND;\r\n}\r\n}\r\n";
    std::ofstream("frame.txt", std::ios::binary) << script;

    vesta::RecordingModule renderModule;
    vesta::CLayerFactory factory;
    factory.Register(1, "Idle", &makeIdle);
    vesta::CTimeline timeline(renderModule, factory);
    timeline.LoadScript("frame.txt");
    timeline.StartPlayback();
    for (auto _ : state) {
        benchmark::DoNotOptimize(timeline.RunFrame());
    }
    state.counters["per_layer"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * layers,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RunFrame)->Arg(1)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
