// Tables of cases kept as data files under tests/data: every line that is neither blank nor
// starts with '#' is a row, split at " | " into its fields. The line number goes into each
// failure message, so a failing row is found in the file at once.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace vx::test {

struct DataRow {
    int line;
    std::vector<std::string> fields;
};

// The rows of the file at path; none when it cannot be read (callers assert some).
inline std::vector<DataRow> ReadDataRows(const std::string& path) {
    std::vector<DataRow> rows;
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text[0] == '#') continue;
        DataRow row{line, {}};
        for (size_t at = 0;; at += 3) {
            const size_t bar = text.find(" | ", at);
            row.fields.push_back(text.substr(at, bar - at));
            if (bar == text.npos) break;
            at = bar;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace vx::test
