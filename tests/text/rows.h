// Case tables kept as data files under tests/data/: one row a line, fields apart by blanks; a
// field in double quotes may hold blanks and the escapes \" \\ \t \n \v \f \r and \xHH (one
// byte: texts are UTF-8). Blank lines and lines starting with # are skipped. Each row keeps its
// line number so that a failing row can be named as FILE:LINE.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace vx::test {

struct Row {
    std::string where;  // "expr/results.txt:12"
    std::vector<std::string> fields;
};

// The rows of tests/data/NAME; a missing or empty file is a failure of the calling test.
inline std::vector<Row> ReadRows(const std::string& name) {
    std::ifstream in(std::string(OSTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::vector<Row> rows;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        Row row{name + ":" + std::to_string(++number), {}};
        for (size_t i = 0; i < line.size() && line[0] != '#';) {
            if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
                ++i;
            } else if (line[i] != '"') {
                const size_t end = std::min(line.find_first_of(" \t\r", i), line.size());
                row.fields.push_back(line.substr(i, end - i));
                i = end;
            } else {
                std::string field;
                for (++i; i < line.size() && line[i] != '"'; ++i) {
                    if (line[i] != '\\' || ++i == line.size()) {
                        field += line[i];
                    } else if (line[i] == 'x') {
                        field += char(std::strtoul(line.substr(i + 1, 2).c_str(), nullptr, 16));
                        i += 2;
                    } else {
                        const std::string from = "tnvfr", to = "\t\n\v\f\r";
                        const size_t k = from.find(line[i]);
                        field += k == std::string::npos ? line[i] : to[k];
                    }
                }
                row.fields.push_back(field);
                ++i;  // past the closing quote
            }
        }
        if (!row.fields.empty()) rows.push_back(row);
    }
    if (rows.empty()) ADD_FAILURE() << "no rows in " << OSTREL_TEST_DATA << "/" << name;
    return rows;
}

// A number field: decimal or 0x hexadecimal, inf or nan, each with an optional minus sign.
// The standard library reads it, never the code under test.
inline double NumberField(const std::string& field) {
    const bool minus = !field.empty() && field[0] == '-';
    const size_t start = minus + (field.compare(minus, 2, "0x") == 0 ? 2 : 0);
    double value = 0.0;
    const auto format = start > size_t(minus) ? std::chars_format::hex : std::chars_format::general;
    const auto [end, error] = std::from_chars(field.data() + start, field.data() + field.size(), value, format);
    if (error != std::errc() || end != field.data() + field.size()) ADD_FAILURE() << "not a number: " << field;
    return minus ? -value : value;
}

}  // namespace vx::test
