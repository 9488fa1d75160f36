// Parse throughput of the XML reader beside libxml2 building a tree of the same text.
// Both drop white-space-only text and replace entities, so the trees compare.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <libxml/parser.h>
#include <string>

#include "xml/XmlReader.h"

namespace {

std::string configDocument() {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-15\"?>\r\n<AppConfig>\r\n"
                       "\t<Window\tClass=\"Vesta\"\tName=\"Cobalt by Vesta Group\"\tWidth=\"640\"\t"
                       "Height=\"480\"/>\r\n"
                       "\t<DefaultFont\tName=\"fonts/default.fnt\"/>\r\n"
                       "\t<Script\tName=\"scripts/main.txt\"/>\r\n"
                       "\t<Winamp\tHide=\"True\"/>\r\n\t<Startup\tID=\"1\"/>\r\n"
                       "\t<FileSystem>\r\n";
    for (int i = 0; i < 8; ++i) {
        text += "\t\t<Search\tPath=\"data" + std::to_string(i) + "\\\"/>\r\n";
    }
    text +=
        "\t</FileSystem>\r\n\t<Debug\tEnable=\"False\"/>\r\n"
        "\t<SimpleStartup\tSkin=\"skin.png\"\tOk=\"10,200,80,20\"\tCancel=\"100,200,80,20\"/>\r\n"
        "</AppConfig>\r\n";
    return text;
}

// About 1 MB of nested elements with several attributes each, as a scene or skin list.
std::string elementDocument() {
    std::string text = "<?xml version=\"1.0\"?>\n<scene name=\"showcase\">\n";
    char line[256];
    for (int i = 0; text.size() < 1'000'000; ++i) {
        std::snprintf(line, sizeof line,
                      "  <object id=\"obj%d\" name=\"Object number %d\" x=\"%d.5\" y=\"-%d.25\" "
                      "z=\"0\">\n    <mesh file=\"models/m%d.mdl\" material=\"mat%d\"/>\n"
                      "    <key t=\"%d\" v=\"1 0 0\"/><key t=\"%d\" v=\"0 1 0\"/>\n  </object>\n",
                      i, i, i % 640, i % 480, i % 37, i % 11, i, i + 1);
        text += line;
    }
    return text + "</scene>\n";
}

// About 1 MB of prose with a few references and inline elements.
std::string textDocument() {
    std::string text = "<?xml version=\"1.0\"?>\n<book>\n";
    const std::string sentence =
        "The quick brown fox jumps over the lazy dog while the demo plays its first part; ";
    while (text.size() < 1'000'000) {
        text += "<p>";
        for (int i = 0; i < 12; ++i) {
            text += sentence;
        }
        text += "a &lt;b&gt; &amp; <em>emphasis</em> and more text to end the paragraph.</p>\n";
    }
    return text + "</book>\n";
}

void parseWithReader(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto document = AdvXMLParser::Parse(text.data(), text.size());
        benchmark::DoNotOptimize(document.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void parseWithLibxml2(benchmark::State& state, const std::string& text) {
    xmlInitParser();
    for (auto _ : state) {
        xmlDocPtr document = xmlReadMemory(
            text.data(), static_cast<int>(text.size()), "bench.xml", nullptr,
            XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR);
        if (document == nullptr) {
            state.SkipWithError("libxml2 rejected the document");
            break;
        }
        benchmark::DoNotOptimize(document);
        xmlFreeDoc(document);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

const std::string& config() {
    static const std::string text = configDocument();
    return text;
}
const std::string& elements() {
    static const std::string text = elementDocument();
    return text;
}
const std::string& prose() {
    static const std::string text = textDocument();
    return text;
}

void BM_Reader_Config(benchmark::State& state) {
    parseWithReader(state, config());
}
void BM_Libxml2_Config(benchmark::State& state) {
    parseWithLibxml2(state, config());
}
void BM_Reader_Elements1MB(benchmark::State& state) {
    parseWithReader(state, elements());
}
void BM_Libxml2_Elements1MB(benchmark::State& state) {
    parseWithLibxml2(state, elements());
}
void BM_Reader_Text1MB(benchmark::State& state) {
    parseWithReader(state, prose());
}
void BM_Libxml2_Text1MB(benchmark::State& state) {
    parseWithLibxml2(state, prose());
}

BENCHMARK(BM_Reader_Config);
BENCHMARK(BM_Libxml2_Config);
BENCHMARK(BM_Reader_Elements1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2_Elements1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reader_Text1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2_Text1MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
