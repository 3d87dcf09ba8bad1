// The name an export writes in its "User" column: the account's full name,
// or its login name when the account has none.
#pragma once

#include <string>
#include <string_view>

namespace quillory {

// The user running the program, from the system's user database.
std::string AccountUserName();

// The name a user-database entry gives: its comment field up to the first
// comma (the rest holds office and telephone), or the login name when that
// part is empty.
std::string UserNameOf(std::string_view comment, std::string_view login);

} // namespace quillory
