// The window profile in the user's Qt settings: organisation "KORVAN",
// application "Quillory", group "Settings".
#pragma once

#include "platform/windowprofile.h"

namespace quillory {

class QtWindowProfile final : public WindowProfile {
public:
    std::optional<int> readInt(const std::string& key) override;
    void writeInt(const std::string& key, int value) override;
};

} // namespace quillory
