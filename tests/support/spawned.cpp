#include "support/spawned.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quillory::test {

namespace {

int exitStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

Spawned::Spawned(
    const std::vector<std::string>& args, const std::string& out, const std::string& err, const std::string& folder)
{
    std::vector<std::string> all = args;
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (argv.size() < 2 || posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Spawned::~Spawned()
{
    signal(SIGKILL);
}

bool Spawned::running()
{
    int status = 0;
    if (m_pid <= 0)
        return false;
    if (::waitpid(m_pid, &status, WNOHANG) == 0)
        return true;
    m_status = exitStatus(status);
    m_pid = -1;
    return false;
}

int Spawned::wait()
{
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
        m_status = exitStatus(status);
    m_pid = -1;
    return m_status;
}

void Spawned::signal(int sig)
{
    if (m_pid > 0 && ::kill(m_pid, sig) == 0 && sig == SIGKILL)
        wait();
}

} // namespace quillory::test
