// Template files from arbitrary bytes: the input is written as the one "*.xml" file of a
// private folder and loaded; every figure that loads is then built into a path in a frame
// and its reference limits are queried, so hostile coordinate texts reach the evaluator
// through the real instantiation. The file is then read again as the figure checker reads
// it (with a diagnostics sink and element places), which must store the same figures.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "build_dictionary.h"
#include "path/path.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "templates/template_loader.h"
#include "text/utf.h"

namespace {

const std::string& Folder() {
    static char pattern[] = "/tmp/ostrel-fuzz-templates-XXXXXX";
    static const std::string folder = [] {
        if (!mkdtemp(pattern)) std::abort();
        // libFuzzer ends with exit(): take the folder away then, so that runs leave nothing.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(pattern, ignored);
        });
        return std::string(pattern);
    }();
    return folder;
}

// Keeps the names of the figures stored and touches everything it is told.
class Sink final : public vx::LoadDiagnostics {
public:
    std::set<vx::String> stored;
    size_t seen = 0;

    void BeginFile(const std::filesystem::path&) override {}
    void BeginFigure(const vx::String* name, vx::platform::SourcePlace place) override {
        seen += (name ? name->size() : 0) + place.line + place.column;
    }
    void Report(Severity, vx::platform::SourcePlace place, const std::string& message) override {
        seen += message.size() + place.line + place.column;
    }
    void EndFigure(const vx::FigureTemplate* figure, const vx::FigureSource& source) override {
        if (!figure) return;
        if (source.references.size() != figure->references.size()) std::abort();
        stored.insert(vx::String(figure->info.name));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = Folder() + "/figures.xml";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);

    vx::TemplateLibrary& library = vx::TemplateLibrary::Instance();
    const vx::String folder = vx::text::FromUtf8(Folder());
    vx::LoadTemplateFolder(folder.c_str());

    const double frame[4] = {100, 50, 300, 150};
    for (const vx::String& name : library.Names()) {
        vx::FigureTemplate* stored = library.FindTemplate(name);
        if (!stored) std::abort();  // a listed name must be found
        vx::FigureTemplate* copy = vx::CloneTemplate(*stored);
        vx::CVXPath* path = vx::CVXPath::Create();
        vx::BuildPathFromTemplate(path, *copy, frame);
        path->AttachTemplate(copy);
        double c[8];
        path->GetOrientedCorners(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]);
        for (int32_t i = -1; i <= static_cast<int32_t>(copy->references.size()); ++i) {
            double minX, maxX, minY, maxY;
            vx::GetReferenceLimits(*copy, i, &minX, &maxX, &minY, &maxY);
        }
        PathCreateParams params;
        path->GetTemplateInfo(&params);
        delete copy;
        path->Release();
    }
    const std::vector<vx::String> names = library.Names();
    library.ReleaseAll();

    Sink sink;
    vx::LoadTemplateFolder(folder.c_str(), &sink);
    if (library.Names() != names || std::vector<vx::String>(sink.stored.begin(), sink.stored.end()) != names) {
        std::abort();
    }
    library.ReleaseAll();
    std::remove(file.c_str());
    return 0;
}
