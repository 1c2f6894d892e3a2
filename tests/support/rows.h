// Case tables kept as data files under tests/data/: one row a line. Fields are apart by blanks,
// and a field in double quotes may hold blanks and the escapes \" \\ \t \n \v \f \r and \xHH
// (one byte: texts are UTF-8); or, in tables whose fields are phrases, apart by " | " (a
// line may start with "| " for an empty first field), each trimmed of its outer blanks.
// Blank lines and lines starting with # are skipped. Each row keeps its place so that a
// failing row can be named as FILE:LINE.
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

// Blank-separated fields of one line, quotes grouping and escaping.
inline std::vector<std::string> BlankFields(const std::string& line) {
    std::vector<std::string> fields;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] != '"') {
            const size_t end = std::min(line.find_first_of(" \t\r", i), line.size());
            fields.push_back(line.substr(i, end - i));
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
            fields.push_back(field);
            ++i;  // past the closing quote
        }
    }
    return fields;
}

// The fields of one line apart by " | ", trimmed.
inline std::vector<std::string> BarFields(std::string line) {
    if (line.compare(0, 2, "| ") == 0) line.insert(0, " ");
    std::vector<std::string> fields;
    for (size_t at = 0;;) {
        const size_t bar = line.find(" | ", at);
        std::string field = line.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
        field.erase(field.find_last_not_of(" \t\r") + 1);
        field.erase(0, std::min(field.find_first_not_of(" \t"), field.size()));
        fields.push_back(field);
        if (bar == std::string::npos) return fields;
        at = bar + 3;
    }
}

enum class Split { kBlanks, kBars };

// The rows of tests/data/NAME; a missing or empty file is a failure of the calling test.
inline std::vector<Row> ReadRows(const std::string& name, Split split = Split::kBlanks) {
    std::ifstream in(std::string(OSTREL_TEST_DATA) + "/" + name, std::ios::binary);
    std::vector<Row> rows;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line[0] == '#' || line.find_first_not_of(" \t\r") == std::string::npos) continue;
        rows.push_back(
            {name + ":" + std::to_string(number), split == Split::kBars ? BarFields(line) : BlankFields(line)});
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

// The number fields of a row, from field FROM on.
inline std::vector<double> NumberFields(const Row& row, size_t from = 0) {
    std::vector<double> numbers;
    for (size_t i = from; i < row.fields.size(); ++i) numbers.push_back(NumberField(row.fields[i]));
    return numbers;
}

}  // namespace vx::test
