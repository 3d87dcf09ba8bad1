#include "export/username.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace quillory {

std::string UserNameOf(std::string_view comment, std::string_view login)
{
    const std::string_view fullName = comment.substr(0, comment.find(','));
    return std::string(fullName.find_first_not_of(' ') == std::string_view::npos ? login : fullName);
}

std::string AccountUserName()
{
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return UserNameOf(found->pw_gecos ? found->pw_gecos : "", found->pw_name ? found->pw_name : "");
    // An account the database does not know (a container, say): the login
    // name the session gives, if any.
    for (const char* variable : {"USER", "LOGNAME"}) {
        if (const char* name = std::getenv(variable); name && *name)
            return name;
    }
    return {};
}

} // namespace quillory
