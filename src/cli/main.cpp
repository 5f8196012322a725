#include "Cli.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    try {
        return velmora::cli::Run({argv + 1, argv + argc}, std::cout, std::cerr);
    } catch (...) {
        // Run reports its own failures; only copying the arguments is left, and that fails
        // only for want of memory.
        std::fputs("velmora-cli: out of memory\n", stderr);
        return velmora::cli::kFileError;
    }
}
