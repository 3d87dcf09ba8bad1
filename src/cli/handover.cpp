#include "cli/handover.h"

#include "cli/cli.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quillory::cli {

namespace {

bool endsWith(const std::string& text, const char* tail)
{
    const std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// The folder this program was started from, with its final slash.
std::string ownFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string folder(path, static_cast<std::size_t>(n));
    return folder.substr(0, folder.rfind('/') + 1);
}

} // namespace

bool needsFullProgram(const std::vector<std::string>& arguments)
{
    if (!arguments.empty() && arguments.front() == "print")
        return true;
    for (const std::string& a : arguments) {
        if (a == "--pdf" || a.rfind("--pdf=", 0) == 0 || a == "ical" || endsWith(a, "=ical"))
            return true;
    }
    return false;
}

int handOver(char* argv[])
{
    const std::string folder = ownFolder();
    for (const std::string& candidate : {folder + "qly-full", folder + QLY_FULL_FROM_BIN "/qly-full"}) {
        if (access(candidate.c_str(), X_OK) == 0)
            execv(candidate.c_str(), argv);
    }
    std::fprintf(stderr, "qly: PDF files and calendars are made by qly-full, which cannot be run from %s (%s)\n",
        folder.empty() ? "here" : folder.c_str(), std::strerror(errno));
    return kExitFile;
}

} // namespace quillory::cli
