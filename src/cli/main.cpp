// qly: Quillory's data sets from a terminal. See cli.h, and CMakeLists.txt
// for what qly hands to qly-full.
#include "cli/cli.h"
#include "cli/handover.h"
#include "platform/clock.h"

#include <iostream>

int main(int argc, char* argv[])
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (quillory::cli::needsFullProgram(arguments))
        return quillory::cli::handOver(argv);
    const quillory::SystemClock clock;
    return quillory::cli::run(arguments, std::cout, std::cerr, clock);
}
