#include "support/golden.h"

#include <cstdlib>
#include <fstream>

namespace vx::test {

::testing::AssertionResult MatchesGolden(const std::vector<std::string>& lines, const std::string& name) {
    const std::string path = std::string(OSTREL_TEST_DATA) + "/golden/" + name + ".txt";
    const char* update = std::getenv("OSTREL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) out << line << '\n';
        if (out) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "cannot write " << path;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return ::testing::AssertionFailure() << "no golden file " << path;
    std::vector<std::string> want;
    for (std::string line; std::getline(in, line);) want.push_back(line);
    for (size_t i = 0; i < want.size() || i < lines.size(); ++i) {
        const std::string got = i < lines.size() ? lines[i] : "(end)";
        const std::string expected = i < want.size() ? want[i] : "(end)";
        if (got != expected) {
            return ::testing::AssertionFailure()
                   << name << ".txt line " << i + 1 << ": got \"" << got << "\", expected \"" << expected << "\" ("
                   << lines.size() << " lines against " << want.size() << "; OSTREL_UPDATE_GOLDEN=1 rewrites the file)";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vx::test
