// ostrel check over the broken files of tests/data/check: the table expected.txt holds, for
// each command, the exact lines it prints and its exit status.
#include "cli_run.h"

namespace {

using namespace cli_test;

TEST(Check, EachBrokenFilePrintsItsLinesAndStatus) {
    const std::string folder = std::string(OSTREL_TEST_DATA) + "/check";
    std::vector<std::string> args;
    std::string command, expected;
    int rows = 0;
    for (const std::string& line : Lines(ReadFile(folder + "/expected.txt"))) {
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
    EXPECT_EQ(rows, 10);
}

}  // namespace
