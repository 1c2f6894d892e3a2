// Helpers of the template tests: templates written as short tables, a temporary folder for
// generated files, and the fixture folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "templates/figure_template.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx::test {

inline String W(const std::string& utf8) { return text::FromUtf8(utf8); }
inline std::string U8(const VXCHAR* text) { return text ? text::ToUtf8(text) : "(null)"; }
inline std::string U8(const String& text) { return text::ToUtf8(text); }

inline TemplateElement Element(uint32_t kind, std::vector<std::string> coords) {
    TemplateElement e;
    e.kind = kind;
    for (size_t k = 0; k < coords.size() && k < 6; ++k) e.coords[k] = W(coords[k]);
    return e;
}

struct AxisSpec {
    AxisSpec(std::string n = "", std::string v = "", std::string lo = "", std::string hi = "")
        : name(std::move(n)), value(std::move(v)), min(std::move(lo)), max(std::move(hi)) {}
    std::string name, value, min, max;
};

inline TemplateReference Reference(AxisSpec x, AxisSpec y = {}) {
    TemplateReference r;
    r.x.name = W(x.name);
    r.x.value = W(x.value);
    r.x.min = W(x.min);
    r.x.max = W(x.max);
    r.y.name = W(y.name);
    r.y.value = W(y.value);
    r.y.min = W(y.min);
    r.y.max = W(y.max);
    return r;
}

inline std::unique_ptr<FigureTemplate> MakeTemplate(const std::string& name,
                                                    std::vector<TemplateElement> elements,
                                                    std::vector<TemplateReference> references = {}) {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(W(name).c_str());
    t->elements = std::move(elements);
    t->references = std::move(references);
    return t;
}

// Stores a template in the process-wide library under its own name.
inline void StoreTemplate(std::unique_ptr<FigureTemplate> t) {
    const String name = t->info.name;
    TemplateLibrary::Instance().Store(name, std::move(t));
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = base / ("ostrel-templates-" + std::to_string(seed()));
            if (std::filesystem::create_directory(path_)) return;
        }
        ADD_FAILURE() << "no temporary folder";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path Child(const std::string& utf8Name) const {
        return path_ / std::filesystem::u8path(utf8Name);
    }
    // Writes bytes as they are into the named file.
    void Write(const std::string& utf8Name, const std::string& bytes) const {
        std::ofstream out(Child(utf8Name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << utf8Name;
    }
    // The folder as the library's UTF-16 text.
    String Text() const { return text::FromUtf8(path_.u8string()); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// tests/data/<name> as a folder the platform can open. Under Wine the Unix path of the
// source tree is reached through drive Z:.
inline String DataFolder(const std::string& name) {
    const std::string unixPath = std::string(OSTREL_TEST_DATA) + "/" + name;
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::u8path(unixPath), error)) return W(unixPath);
    return W("Z:" + unixPath);
}

// The XML text of a "Figures" document around the given figures.
inline std::string FiguresDocument(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Figures>\n" + body + "</Figures>\n";
}

inline std::string LineFigure(const std::string& name, const std::string& tips = "") {
    return "<figure name=\"" + name + "\" tips=\"" + tips +
           "\"><moveto><vertex x=\"0\" y=\"0\"/></moveto>"
           "<lineto><vertex x=\"1\" y=\"1\"/></lineto></figure>\n";
}

inline std::string TipsOf(const std::string& name) {
    const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
    return t ? U8(t->info.tips) : "(absent)";
}

}  // namespace vx::test
