#include "check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "expr/evaluator.h"
#include "options.h"
#include "platform/xml_dom.h"
#include "templates/template_bindings.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "templates/template_loader.h"
#include "text.h"
#include "text/utf.h"

namespace ostrel_cli {

namespace {

namespace fs = std::filesystem;
using vx::platform::SourcePlace;
using Severity = vx::LoadDiagnostics::Severity;

std::string Utf8(vx::StringView text) { return vx::text::ToUtf8(text); }

std::string Quoted(vx::StringView text) { return '"' + Utf8(text) + '"'; }

// "file:line:column", leaving out what the parser does not say.
std::string Where(const std::string& file, SourcePlace place) {
    std::string where = file;
    if (place.line > 0) where += ':' + std::to_string(place.line);
    if (place.line > 0 && place.column > 0) where += ':' + std::to_string(place.column);
    return where;
}

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

class Checker final : public vx::LoadDiagnostics {
public:
    explicit Checker(std::ostream& out) : out_(out) {}

    void BeginFile(const fs::path& path) override {
        file_ = path.u8string();
        ++files_;
        figureNumber_ = 0;
    }

    void BeginFigure(const vx::String* name, SourcePlace place) override {
        ++figureNumber_;
        figure_ = name ? "figure " + Quoted(*name)
                       : "figure #" + std::to_string(figureNumber_) + " (no name)";
        figurePlace_ = place;
    }

    void Report(Severity severity, SourcePlace place, const std::string& message) override {
        const char* word = severity == Severity::Error     ? "error"
                           : severity == Severity::Warning ? "warning"
                                                           : "note";
        ++counts_[static_cast<int>(severity)];
        out_ << Where(file_, place) << ": " << (figure_.empty() ? "" : figure_ + ": ") << word
             << ": " << message << '\n';
    }

    void EndFigure(const vx::FigureTemplate* stored, const vx::FigureSource& source) override {
        if (!stored) {
            ++dropped_;
        } else {
            ++loaded_;
            const vx::String name(vx::StringView(stored->info.name));
            const auto earlier = places_.find(name);
            if (earlier != places_.end()) {
                Report(Severity::Warning, figurePlace_,
                       "replaces the figure of the same name at " + earlier->second);
            }
            places_[name] = Where(file_, figurePlace_);
            CheckExpressions(*stored, source);
        }
        figure_.clear();
    }

    // A line about a file outside any figure.
    void FileReport(const std::string& file, Severity severity, const std::string& message) {
        file_ = file;
        Report(severity, {}, message);
    }

    int Finish() {
        out_ << Counted(files_, "file", "files") << ": "
             << Counted(loaded_, "figure loads", "figures load") << ", " << dropped_ << " dropped; "
             << Counted(counts_[0], "error", "errors") << ", "
             << Counted(counts_[1], "warning", "warnings") << ", "
             << Counted(counts_[2], "note", "notes") << '\n';
        return counts_[0] > 0 ? 1 : 0;
    }

private:
    // The value and the drag range of one axis of a reference, with the file's values.
    struct Axis {
        double value = 0;
        double limit[2] = {0, 0};  // min, max
        bool limitOk[2] = {false, false};
    };

    // Every value, limit and coordinate text evaluated as a build and a handle drag evaluate
    // them: with the file's values, then with each axis of each reference at either end of
    // its range (the others at the file's values). Each failure is reported once, for the
    // first round that shows it. The rounds at the ends cost the figure's texts once per
    // end of every axis; a budget over the whole run keeps a file of many references and
    // texts from taking hours, and says so where it runs out.
    void CheckExpressions(const vx::FigureTemplate& figure, const vx::FigureSource& source) {
        seen_.clear();
        size_t cost = 0;
        for (const vx::TemplateReference& r : figure.references) {
            for (const vx::ReferenceAxis* a : {&r.x, &r.y})
                cost += a->value.size() + a->min.size() + a->max.size() + 3;
        }
        for (const vx::FigureSource::Element& e : source.elements) {
            for (const vx::String& text : e.texts.coords) cost += text.size() + 48;
        }
        std::vector<Axis> axes;  // x, then y, of each reference
        if (!Evaluate(figure, source, "", &axes)) return;
        for (size_t n = 0; n < axes.size(); ++n) {
            for (int end = 0; end < 2; ++end) {
                if (!axes[n].limitOk[end] || !std::isfinite(axes[n].limit[end])) continue;
                if (cost > budget_) {
                    if (!budgetNoted_) {
                        Report(Severity::Note, figurePlace_,
                               "from here on the ends of the handles' ranges are not checked: too "
                               "many texts");
                    }
                    budgetNoted_ = true;
                    return;
                }
                budget_ -= cost;
                const size_t i = n / 2;
                const bool x = n % 2 == 0;
                const double at = axes[n].limit[end];
                std::unique_ptr<vx::FigureTemplate> moved(vx::CloneTemplate(figure));
                vx::SetReferenceValues(*moved, static_cast<int32_t>(i), x ? at : axes[2 * i].value,
                                       x ? axes[2 * i + 1].value : at);
                const vx::ReferenceAxis& axis = x ? figure.references[i].x : figure.references[i].y;
                const std::string who = axis.name.empty() ? "reference " + std::to_string(i + 1) +
                                                                "'s " + (x ? "x" : "y")
                                                          : Utf8(axis.name);
                Evaluate(*moved, source,
                         ", with " + who + " = " + FormatNumber(vx::NarrowToSingle(at), 6) +
                             (end == 0 ? " (its min)" : " (its max)"),
                         nullptr);
            }
        }
    }

    // One round. axes, for the round with the file's values, receives each axis's value and
    // range. False when a value fails: a build then draws nothing, and the texts after it
    // are not worth evaluating.
    bool Evaluate(const vx::FigureTemplate& figure, const vx::FigureSource& source,
                  const std::string& suffix, std::vector<Axis>* axes) {
        vx::TemplateBindings bindings;
        for (size_t i = 0; i < figure.references.size(); ++i) {
            const vx::TemplateReference& r = figure.references[i];
            const vx::ReferenceAxis* both[2] = {&r.x, &r.y};
            for (int a = 0; a < 2; ++a) {
                double value = 0;
                if (!Text(bindings, {}, both[a]->value, PlaceOf(source, i, a),
                          Label(*both[a], a) + "value", {1, i, a}, suffix, &value)) {
                    return false;
                }
                bindings.Bind(both[a]->name, value);
                if (axes) axes->emplace_back().value = value;
            }
        }
        for (size_t i = 0; i < figure.references.size(); ++i) {
            const vx::TemplateReference& r = figure.references[i];
            const vx::ReferenceAxis* both[2] = {&r.x, &r.y};
            for (int a = 0; a < 2; ++a) {
                const vx::ReferenceAxis& axis = *both[a];
                const SourcePlace place = PlaceOf(source, i, a);
                const std::string label = Label(axis, a);
                Axis ends;
                ends.limitOk[0] = Text(bindings, {}, axis.min, place, label + "min", {2, i, a},
                                       suffix, &ends.limit[0]);
                ends.limitOk[1] = Text(bindings, {}, axis.max, place, label + "max", {3, i, a},
                                       suffix, &ends.limit[1]);
                if (!axes) continue;  // what follows is about the file's values
                Axis& kept = (*axes)[2 * i + static_cast<size_t>(a)];
                std::copy(ends.limit, ends.limit + 2, kept.limit);
                std::copy(ends.limitOk, ends.limitOk + 2, kept.limitOk);
                if (axis.max.empty() && !axis.min.empty()) {
                    Report(Severity::Warning, place,
                           label + "no max: the handle cannot go above 0");
                } else if (ends.limitOk[0] && ends.limitOk[1] && ends.limit[0] > ends.limit[1]) {
                    Report(Severity::Warning, place,
                           label + "min " + FormatNumber(ends.limit[0], 6) + " is above max " +
                               FormatNumber(ends.limit[1], 6));
                }
            }
        }
        const double unit[4] = {0, 0, 1, 1};
        const vx::CoordinatePrefixes prefixes(unit);
        for (size_t e = 0; e < source.elements.size(); ++e) {
            const vx::FigureSource::Element& element = source.elements[e];
            for (int k = 0; k < 6 && !element.texts.coords[k].empty(); ++k) {
                std::string label = element.name;
                if (element.texts.kind == VX_NODE_CUBIC)
                    label += " vertex " + std::to_string(k / 2 + 1);
                label += ' ';
                label += element.texts.kind == VX_NODE_RECT ? "xywh"[k] : "xy"[k % 2];
                double value = 0;
                Text(bindings, prefixes.For(element.texts.kind, k), element.texts.coords[k],
                     element.places[k], label, {4, e, k}, suffix, &value);
            }
        }
        return true;
    }

    // Evaluates prefix + text (+ ")" after a prefix) and reports an error or a result that
    // is not a number; key identifies the text so that each problem is told once.
    bool Text(const vx::TemplateBindings& bindings, vx::StringView prefix, const vx::String& text,
              SourcePlace place, const std::string& label, std::tuple<int, size_t, int> key,
              const std::string& suffix, double* value) {
        const bool ok = prefix.empty() ? bindings.Evaluate(text, value)
                                       : bindings.Evaluate({prefix, text, VXTEXT(")")}, value);
        if (!ok) {
            if (seen_.insert({key, 0}).second) {
                Report(Severity::Error, place,
                       label + ' ' + Quoted(text) + " does not evaluate: " +
                           Quoted(vx::ExpressionEvaluator::GetLastErrorText()) + suffix);
            }
        } else if (!std::isfinite(*value) && seen_.insert({key, 1}).second) {
            Report(Severity::Warning, place,
                   label + ' ' + Quoted(text) + " gives " + FormatNumber(*value) + suffix);
        }
        return ok;
    }

    // "reference x "w": ", naming the axis as the file does.
    static std::string Label(const vx::ReferenceAxis& axis, int a) {
        return std::string("reference ") + (a == 0 ? "x" : "y") +
               (axis.name.empty() ? "" : ' ' + Quoted(axis.name)) + ": ";
    }

    static SourcePlace PlaceOf(const vx::FigureSource& source, size_t i, int a) {
        if (i >= source.references.size()) return {};
        return a == 0 ? source.references[i].x : source.references[i].y;
    }

    std::ostream& out_;
    std::string file_, figure_;
    SourcePlace figurePlace_;
    size_t figureNumber_ = 0, files_ = 0, loaded_ = 0, dropped_ = 0;
    size_t counts_[3] = {0, 0, 0};
    std::map<vx::String, std::string> places_;  // the stored figures' places, by name
    std::set<std::pair<std::tuple<int, size_t, int>, int>> seen_;
    size_t budget_ = size_t{200} << 20;  // characters evaluated at the ends of ranges, in all
    bool budgetNoted_ = false;
};

bool NamedXml(const fs::path& path) {
    std::string extension = path.extension().u8string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".xml";
}

}  // namespace

int RunCheck(const std::vector<std::string>& paths, std::ostream& out) {
    // Every path first: a typing error stops the check before any output.
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::path p = fs::u8path(path);
        if (fs::is_directory(p, error)) {
            fs::directory_iterator listing(p, error);
            if (error) throw UsageError("cannot read folder '" + path + "': " + error.message());
        } else if (!fs::exists(p, error)) {
            throw UsageError("'" + path + "' does not exist");
        } else if (!std::ifstream(p, std::ios::binary)) {
            throw UsageError("cannot read '" + path + "'");
        }
    }

    vx::TemplateLibrary& library = vx::TemplateLibrary::Instance();
    library.ReleaseAll();
    Checker checker(out);
    {
        vx::platform::XmlSession session;
        for (const std::string& path : paths) {
            const fs::path p = fs::u8path(path);
            std::error_code error;
            if (fs::is_directory(p, error)) {
                bool any = false;
                for (const auto& entry : fs::directory_iterator(p, error))
                    any = any || NamedXml(entry.path());
                if (!any)
                    checker.FileReport(path, Severity::Warning, "no *.xml file in this folder");
                vx::LoadTemplateFolder(ToVx(path).c_str(), &checker);
                continue;
            }
            if (!NamedXml(p)) {
                checker.FileReport(path, Severity::Warning,
                                   "the loader reads only files named *.xml");
            }
            if (!vx::LoadTemplateFile(p, &checker)) break;
        }
    }
    library.ReleaseAll();
    return checker.Finish();
}

}  // namespace ostrel_cli
