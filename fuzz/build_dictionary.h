// Every fuzz target uses the dictionary that its build wrote (OSTREL_FUZZ_DICTIONARY) and the
// memory limit its build names (OSTREL_FUZZ_MEMORY_MB, for -rss_limit_mb and
// -malloc_limit_mb), unless the command line names them.
#pragma once

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<std::string> defaults;
#ifdef OSTREL_FUZZ_DICTIONARY
    defaults.push_back(std::string("-dict=") + OSTREL_FUZZ_DICTIONARY);
#endif
#ifdef OSTREL_FUZZ_MEMORY_MB
    for (const char* flag : {"-rss_limit_mb=", "-malloc_limit_mb="})
        defaults.push_back(flag + std::to_string(OSTREL_FUZZ_MEMORY_MB));
#endif
    static std::vector<char*> arguments(*argv, *argv + *argc);
    for (std::string& flag : defaults) {
        const size_t name = flag.find('=') + 1;
        bool given = false;
        for (int i = 1; i < *argc; ++i) given = given || std::strncmp((*argv)[i], flag.c_str(), name) == 0;
        if (!given) arguments.push_back(&flag[0]);
    }
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}
