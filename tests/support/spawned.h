// A real program started in the background, its output going to files, and
// killed when the object goes: qly and the program itself as a user's shell
// would run them beside a test.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace quillory::test {

class Spawned {
public:
    // `args` starts with the program's path; `folder`, when given, is the
    // one it starts in.
    Spawned(const std::vector<std::string>& args, const std::string& out, const std::string& err,
        const std::string& folder = {});
    ~Spawned();
    Spawned(const Spawned&) = delete;
    Spawned& operator=(const Spawned&) = delete;

    bool running();
    // Its exit status; -1 when it did not exit by itself.
    int wait();
    // SIGKILL also waits for it to go.
    void signal(int sig);

private:
    pid_t m_pid = -1;
    int m_status = -1;
};

} // namespace quillory::test
