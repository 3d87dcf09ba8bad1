#include "platform/windowprofile.h"

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

} // namespace quillory
