#include "cli/cli.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return tess::cli::run(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) != 0);
}
