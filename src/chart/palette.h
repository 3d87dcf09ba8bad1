// The colours of project names in the week chart and the pie: twelve fixed
// colours in order of first appearance, then pseudo-random ones. A name
// that once drew a random colour keeps it for as long as the program runs,
// so its bars do not change colour at every refresh.
#pragma once

#include "platform/devicecontext.h"

#include <string>

namespace quillory {

inline constexpr int kFixedColors = 12;

// The colour for the n-th distinct name (from 0) of a chart.
Rgb PaletteColor(int n, const std::string& name);
// A fresh pseudo-random colour: each channel a result of 0..32767 divided
// by 128.
Rgb RandomColor();

} // namespace quillory
