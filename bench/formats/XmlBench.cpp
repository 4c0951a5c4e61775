// Parse rate of the XML engine against pugixml on the same generated UTF-8 documents,
// and the cost of building documents element by element as the exports do.
//
//   cmake --preset release && cmake --build --preset release --target xml_bench
//   build/release/bench/formats/xml_bench

#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>

#include "formats/XmlDocument.h"

namespace {

using quillora::XmlDocument;

// An export-like document of about targetBytes: one element per line, CR LF, a few
// attributes each, some non-ASCII text and entity references.
std::string GenerateDocument(size_t targetBytes) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profiles>\r\n";
    int profile = 0;
    while (out.size() < targetBytes) {
        out += "<profile id=\"" + std::to_string(profile) + "\" name=\"Profil \xC3\xA9t\xC3\xA9 " +
               std::to_string(profile) + "\">\r\n";
        for (int key = 0; key < 16 && out.size() < targetBytes; ++key) {
            out += "<key value=\"" + std::to_string(key) + "\" macro_type=\"2\" macro_value=\"" +
                   std::to_string(key * 37 % 255) + "\" desc=\"Taste &amp; Knopf\"/>\r\n";
        }
        out += "<light mode=\"3\" color=\"16711680\" speed=\"2\"/>\r\n</profile>\r\n";
        ++profile;
    }
    out += "</profiles>\r\n";
    return out;
}

const std::string& Document(size_t bytes) {
    static const std::string small = GenerateDocument(1 << 20);
    static const std::string large = GenerateDocument(10 << 20);
    return bytes == (1u << 20) ? small : large;
}

// Decoding (byte-order mark, declared encoding, UTF-8 to UTF-16) plus Parse.
void BM_EngineLoad(benchmark::State& state) {
    const std::string& text = Document(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        XmlDocument doc;
        doc.LoadBytes(text);
        benchmark::DoNotOptimize(doc.Parse());
        benchmark::DoNotOptimize(doc.ElementCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

void BM_PugixmlLoad(benchmark::State& state) {
    const std::string& text = Document(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

// The export pattern: each element appended after the previous one, with attributes.
void BM_EngineBuild(benchmark::State& state) {
    const int64_t count = state.range(0);
    for (auto _ : state) {
        XmlDocument doc;
        doc.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
        doc.AddElement(u"profiles");
        doc.EnterElement();
        for (int64_t i = 0; i < count; ++i) {
            doc.AddElement(u"key");
            doc.SetAttribute(u"value", i);
            doc.SetAttribute(u"desc", u"Taste & Knopf");
        }
        benchmark::DoNotOptimize(doc.Text().size());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}

// A million start tags that never end: closing them must stay linear.
void BM_EngineUnended(benchmark::State& state) {
    std::u16string text;
    for (int64_t i = 0; i < state.range(0); ++i) {
        text += u"<a>";
    }
    for (auto _ : state) {
        XmlDocument doc;
        benchmark::DoNotOptimize(doc.SetText(text));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_EngineLoad)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlLoad)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineBuild)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineUnended)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
