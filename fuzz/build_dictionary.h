// Every fuzz target uses the dictionary that its build wrote (OSTREL_FUZZ_DICTIONARY)
// unless the command line names one.
#pragma once

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
#ifdef OSTREL_FUZZ_DICTIONARY
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], "-dict=", 6) == 0) return 0;
    }
    static std::vector<char*> arguments;
    static std::string dictionary = std::string("-dict=") + OSTREL_FUZZ_DICTIONARY;
    arguments.assign(*argv, *argv + *argc);
    arguments.push_back(&dictionary[0]);
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
