// Running the command-line program as a user runs it, for the tests of tests/cli: arguments
// in, exit status, standard output, standard error and files out. Portable builds only
// (the program is started through the shell).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/rows.h"

namespace cli_test {

namespace fs = std::filesystem;

inline std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ostrel-cli-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(path)) names.insert(e.path().filename().string());
        return names;
    }
};

struct Result {
    int status;
    std::string out, err;
};

// Runs the program with args; prefix goes before it on the shell line (a PATH setting).
inline Result RunCli(const std::vector<std::string>& args, const std::string& prefix = "") {
    TempDir io;
    std::string line = prefix + " " + Quote(OSTREL_CLI_PROGRAM);
    for (const std::string& a : args) line += " " + Quote(a);
    const int raw = std::system((line + " >" + Quote(io / "out") + " 2>" + Quote(io / "err") + " </dev/null").c_str());
    return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(io / "out"), ReadFile(io / "err")};
}

inline size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A row "LEFT | RIGHT" of a table in tests/data, with its place for failure messages.
struct Row {
    std::string where, left, right;
};

inline std::vector<Row> ReadRows(const std::string& name) {
    std::vector<Row> rows;
    for (const vx::test::Row& row : vx::test::ReadRows(name, vx::test::Split::kBars)) {
        EXPECT_EQ(row.fields.size(), 2u) << row.where;
        if (row.fields.size() == 2) rows.push_back({row.where, row.fields[0], row.fields[1]});
    }
    return rows;
}

}  // namespace cli_test
