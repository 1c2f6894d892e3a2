// ostrel check over the broken files of tests/data/check, and the commands of
// tests/data/cli/commands.txt: each table holds, for each command, the exact lines it prints
// and its exit status, and is run from its own folder.
#include "cli_run.h"

namespace {

using namespace cli_test;

TEST(Check, EachCommandPrintsItsLinesAndStatus) {
    std::vector<std::string> args;
    std::string command, expected;
    int rows = 0;
    for (const std::string table : {"check/expected.txt", "cli/commands.txt"}) {
        const std::string folder = std::string(OSTREL_TEST_DATA) + "/" + table.substr(0, table.find('/'));
        for (const std::string& line : Lines(ReadFile(folder + table.substr(table.find('/'))))) {
            if (line.empty() || line[0] == '#') continue;
            if (line.rfind("$ ostrel", 0) == 0) {
                command = line;
                std::istringstream words(line.substr(8));
                args.assign(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
                expected.clear();
            } else if (line.rfind("exit ", 0) == 0) {
                const Result r = RunCli(args, "cd " + Quote(folder) + " &&");
                SCOPED_TRACE(command);
                EXPECT_EQ(r.out + r.err, expected);
                EXPECT_EQ(r.status, std::stoi(line.substr(5)));
                ++rows;
            } else {
                expected += line + '\n';
            }
        }
    }
    EXPECT_EQ(rows, 13);
}

}  // namespace
