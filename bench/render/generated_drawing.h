// A generated drawing for the frame benchmarks: `solids` solids in a piping-like layout that
// uses the sample's colour rules, written as a data file of the viewer.
#pragma once

#include <string>

namespace hk {

// Writes the drawing into `file` (Shift-JIS, CR LF) in cells of five solids: a straight 50A
// pipe (a cylinder), an elbow (a torus) at its end, a 25A branch of three legs (a swept pipe),
// an 80A riser (a thick tube) and an equipment range (a box). The cells lie on two floors 3 m
// apart, 40 by 25 on a 300 x 320 mm grid, so the drawing spans about 12 x 8 x 4 m like a plant
// room. False when the file cannot be written.
bool WriteGeneratedDrawing(const std::string& file, int solids);

// The load scale that puts the whole generated drawing, twice the sample's size, in the
// start-up view as the sample lies in it at the default scale.
inline constexpr const char* cGeneratedDrawingScale = "1000";

} // namespace hk
