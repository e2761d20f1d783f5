// dayvault-cli: the headless companion of the desktop program, over the same core libraries.

#include "cli/Commands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = dv::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
