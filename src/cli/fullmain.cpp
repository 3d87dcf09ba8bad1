// qly-full: every command of qly, PDF files and calendars included. qly
// hands it what only it can do; see CMakeLists.txt.
#include "cli/cli.h"
#include "platform/clock.h"

#include <iostream>

int main(int argc, char* argv[])
{
    const quillory::SystemClock clock;
    return quillory::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, clock);
}
