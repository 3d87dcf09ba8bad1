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

// The main window's left and top edges and its outer width and height,
// the desktop's frame included.
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

// What the desktop's frame (title bar, borders) adds on each side of a
// window's own area.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool isNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const FrameMargins&) const = default;
};

// The window's own area (left, top, width, height) inside an outer
// rectangle, never smaller than the window's minimum size; and back.
WindowPlacement innerPlacement(const WindowPlacement& outer, const FrameMargins& frame, int minWidth, int minHeight);
WindowPlacement outerPlacement(const WindowPlacement& inner, const FrameMargins& frame);

// Where a window of an outer size goes to be centred over an anchor
// rectangle, kept inside the screen's work area (the top-left corner wins
// when it is larger than the area).
WindowPlacement centredPlacement(int cx, int cy, const WindowPlacement& anchor, const WindowPlacement& screen);

} // namespace quillory
