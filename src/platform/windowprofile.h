// The per-user values that outlive a data set: the main window's rectangle.
#pragma once

#include <optional>
#include <string>

namespace quillory {

class WindowProfile {
public:
    virtual ~WindowProfile() = default;
    virtual std::optional<int> readInt(const std::string& key) = 0;
    virtual void writeInt(const std::string& key, int value) = 0;
};

// The main window's left and top edges and its outer width and height.
struct WindowPlacement {
    int x = 30;
    int y = 30;
    int cx = 600;
    int cy = 400;
    bool operator==(const WindowPlacement&) const = default;
};

// "x", "y", "cx" and "cy", each value that is missing taking its default.
WindowPlacement readWindowPlacement(WindowProfile& profile);
void writeWindowPlacement(WindowProfile& profile, const WindowPlacement& placement);

} // namespace quillory
