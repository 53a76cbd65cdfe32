// Generated drawings for the load, build and reload benchmarks and the batch timings.
#pragma once

#include <string>

namespace hk::bench {

// A drawing of about `records` data lines in cycles of ten: a line (two lines), a pipe, a torus,
// a point, a face of four vertices and a dimension; names repeat every 40 cycles.
void WriteMixedDrawing(const std::string& path, int records);

// What an edit did to a layout drawing: nothing, one solid in the middle of the file moved by
// 250 mm along x, or every solid moved by 1 mm along x.
enum class TLayoutEdit { None, OneMoved, AllMoved };

// The collision benchmarks' piping layout (or, with `flat`, its flat floor) of `solids` boxes as
// a drawing at load scale 1000: each box becomes a cylinder line along its long axis, the
// length and radius of the box, in cube mode or, for the boxes marked so, in faces mode.
void WriteLayoutDrawing(const std::string& path, int solids, bool flat,
                        TLayoutEdit edit = TLayoutEdit::None);

} // namespace hk::bench
