// ostrel: lists, builds, draws and checks the figure templates of a folder, and replays
// drawing sessions through a canvas, using the library's public interface
// (include/ostrel/ostrel.h and the shared library) as a host would.
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "check.h"
#include "commands.h"
#include "files.h"
#include "options.h"
#include "replay.h"

int main(int argc, char** argv) {
    using namespace ostrel_cli;
    try {
        const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        const Options options = ParseArguments(args);
        const std::string folder = options.folder.empty()
                                       ? DefaultFigureFolder(argc > 0 ? argv[0] : nullptr)
                                       : options.folder;
        switch (options.command) {
            case Command::Help: std::cout << UsageText(); break;
            case Command::Figures: RunFigures(options, folder, std::cout); break;
            case Command::Build: RunBuild(options, folder, std::cout); break;
            case Command::Gallery: RunGallery(options, folder, std::cout); break;
            case Command::Replay: RunReplay(options, folder, std::cout, std::cerr); break;
            case Command::Check: {
                const int status = RunCheck(options.paths, std::cout);
                std::cout.flush();
                if (std::cout) return status;
                break;
            }
        }
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "ostrel: cannot write to standard output\n";
            return 1;
        }
        return 0;
    } catch (const UsageError& e) {
        std::cerr << "ostrel: " << e.what() << '\n';
        return 2;
    } catch (const RunError& e) {
        std::cerr << "ostrel: " << e.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "ostrel: out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "ostrel: " << e.what() << '\n';
        return 1;
    }
}
