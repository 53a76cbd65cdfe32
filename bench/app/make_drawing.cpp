// Writes a generated drawing for the batch timings:
//   make_drawing mixed RECORDS OUT.csv    (load with the default scale)
//   make_drawing piping|flat SOLIDS OUT.csv    (load with --scale 1000)
#include "drawings.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string kind = argc == 4 ? argv[1] : "";
    const int count = argc == 4 ? std::atoi(argv[2]) : 0;
    if (count <= 0 || (kind != "mixed" && kind != "piping" && kind != "flat")) {
        std::fprintf(stderr, "usage: make_drawing mixed|piping|flat COUNT OUT.csv\n");
        return 2;
    }
    if (kind == "mixed")
        hk::bench::WriteMixedDrawing(argv[3], count);
    else
        hk::bench::WriteLayoutDrawing(argv[3], count, kind == "flat");
    return 0;
}
