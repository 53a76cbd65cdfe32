// The generated drawings.
#include "drawings.h"

#include "../collision/bench_scenes.h"

#include <cmath>
#include <fstream>

namespace hk::bench {

void WriteMixedDrawing(const std::string& path, int records) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < records / 10; ++i) {
        const std::string n = std::to_string(i % 40);
        const std::string x = std::to_string(i * 10 % 100000);
        const std::string y = std::to_string(i * 7 % 50000);
        const std::string z = std::to_string(i % 300 * 10);
        out << "2,,1,L" << n << ",R,100A,57,S," << x << "," << y << "," << z << ",4\r\n";
        out << "2,,0,,,,,E," << x << "," << y << "," << std::to_string(i % 300 * 10 + 500)
            << "\r\n";
        out << "20,,P" << n << ",R,50A,30,26,A," << x << ",0," << z << ",B," << x << ",900," << z
            << ",4\r\n";
        out << "18,,T" << n << ",R,100A,15," << x << "," << y << "," << z << ",80,0,90,2\r\n";
        out << "1,,Q" << n << ",R,8," << x << "," << y << "," << z << ",1\r\n";
        for (int v = 1; v <= 4; ++v)
            out << "7," << i + 1 << ",1," << v << ",F" << n << ",R,V," << x << ","
                << (v > 2 ? 100 : 0) << "," << z << ",0\r\n";
        out << "10,,D" << n << ",R,,,0,0," << z << ",1500,0," << z << ",0,-300," << z
            << ",1500,-300," << z << ",0\r\n";
    }
}

void WriteLayoutDrawing(const std::string& path, int solids, bool flat, TLayoutEdit edit) {
    std::vector<TBenchBox> boxes = flat ? FlatFloor(solids) : PipingLayout(solids);
    if (edit == TLayoutEdit::OneMoved)
        boxes[boxes.size() / 2].centre.x += 0.25f;
    if (edit == TLayoutEdit::AllMoved)
        for (TBenchBox& b : boxes)
            b.centre.x += 0.001f;
    std::ofstream out(path, std::ios::binary);
    auto mm = [](float v) { return std::to_string(std::lround(double(v) * 1000)); };
    int n = 0;
    for (const TBenchBox& b : boxes) {
        int axis = 0;
        for (int i = 1; i < 3; ++i)
            if (b.half[i] > b.half[axis])
                axis = i;
        TAffineVector from = b.centre, to = b.centre;
        from[axis] -= b.half[axis];
        to[axis] += b.half[axis];
        const float radius = b.half[(axis + 1) % 3];
        // Names repeat every 50 lines, as pipes of one system and size do.
        out << "2,,1,P" << n++ % 50 << ",R,S," << mm(radius) << ",A," << mm(from.x) << ","
            << mm(from.y) << "," << mm(from.z) << "," << (b.faces ? 5 : 4) << "\r\n"
            << "2,,0,,,,,B," << mm(to.x) << "," << mm(to.y) << "," << mm(to.z) << "\r\n";
    }
}

} // namespace hk::bench
