// The generated drawing of the frame benchmarks.
#include "bench/render/generated_drawing.h"

#include "app/sjis.h"

#include <fstream>
#include <iterator>

namespace hk {
namespace {

struct PipingSystem {
    const char* name; // UTF-8; written in Shift-JIS
    const char* rptname;
};

// Names of the sample's colour rules, so that the groups get their colours and materials.
constexpr PipingSystem cSystems[] = {{"冷水送水", "CHS"}, {"冷水還水", "CHR"}, {"温水送水", "HWS"},
                                     {"給水", "CW"},      {"排水", "DR"},      {"フランジ", "CHS"}};

} // namespace

bool WriteGeneratedDrawing(const std::string& file, int solids) {
    std::ofstream out(file, std::ios::binary);
    const int cells = solids / 5;
    for (int c = 0; c < cells; ++c) {
        const PipingSystem& s = cSystems[c % std::size(cSystems)];
        const std::string names = Utf8ToSjis(s.name) + "," + s.rptname;
        const int x = c % 40 * 300;
        const int y = c / 40 % 25 * 320;
        const int z = 1500 + c / 1000 * 3000;
        auto p = [](int a, int b, int d) {
            return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(d);
        };
        out << "2,,1," << names << ",50A,30,S," << p(x, y, z) << ",4\r\n"
            << "2,,0,,,,,E," << p(x + 200, y, z) << "\r\n";
        out << "18,," << names << ",50A,30," << p(x + 200, y + 60, z) << ",60,90,0,4\r\n";
        out << "2,,1," << names << ",25A,17,A," << p(x, y + 160, z - 400) << ",4\r\n"
            << "2,,0,,,,,B," << p(x + 150, y + 160, z - 400) << "\r\n"
            << "2,,3," << names << ",25A,17,C," << p(x + 150, y + 260, z - 400) << ",4\r\n"
            << "2,,4," << names << ",25A,17,D," << p(x + 150, y + 260, z + 200) << ",4\r\n";
        out << "20,," << names << ",80A,45,40,A," << p(x + 250, y + 80, z - 600) << ",B,"
            << p(x + 250, y + 80, z + 600) << ",4\r\n";
        out << "16,,SE3D," << s.rptname << ",unit,0,0,0,0," << p(x + 30, y + 200, z + 300) << ","
            << p(x + 130, y + 300, z + 450) << ",0,0,0,0,0,0,0\r\n";
    }
    out.close();
    return bool(out);
}

} // namespace hk
