#include "platform/windowprofile.h"

#include <algorithm>

namespace quillory {

WindowPlacement readWindowPlacement(WindowProfile& profile)
{
    WindowPlacement p;
    p.x = profile.readInt("x").value_or(p.x);
    p.y = profile.readInt("y").value_or(p.y);
    p.cx = profile.readInt("cx").value_or(p.cx);
    p.cy = profile.readInt("cy").value_or(p.cy);
    return p;
}

void writeWindowPlacement(WindowProfile& profile, const WindowPlacement& placement)
{
    profile.writeInt("x", placement.x);
    profile.writeInt("y", placement.y);
    profile.writeInt("cx", placement.cx);
    profile.writeInt("cy", placement.cy);
}

WindowPlacement innerPlacement(const WindowPlacement& outer, const FrameMargins& frame, int minWidth, int minHeight)
{
    return {outer.x + frame.left, outer.y + frame.top, std::max({1, minWidth, outer.cx - frame.left - frame.right}),
        std::max({1, minHeight, outer.cy - frame.top - frame.bottom})};
}

WindowPlacement outerPlacement(const WindowPlacement& inner, const FrameMargins& frame)
{
    return {inner.x - frame.left, inner.y - frame.top, inner.cx + frame.left + frame.right,
        inner.cy + frame.top + frame.bottom};
}

WindowPlacement centredPlacement(int cx, int cy, const WindowPlacement& anchor, const WindowPlacement& screen)
{
    const auto place = [](int size, int anchorStart, int anchorSize, int screenStart, int screenSize) {
        const int centred = anchorStart + (anchorSize - size) / 2;
        return std::max(screenStart, std::min(centred, screenStart + screenSize - size));
    };
    return {place(cx, anchor.x, anchor.cx, screen.x, screen.cx), place(cy, anchor.y, anchor.cy, screen.y, screen.cy),
        cx, cy};
}

} // namespace quillory
