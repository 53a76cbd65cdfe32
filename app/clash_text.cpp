// The tab-separated clash line.
#include "app/clash_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hk {
namespace {

std::string Field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

void AppendItem(std::string& line, const TClashItem& item) {
    line.append("\t").append(std::to_string(item.lineNo));
    line.append("\t").append(std::to_string(item.kind));
    line.append("\t").append(Field(item.NameUtf8()));
    line.append("\t").append(Field(item.RptnameUtf8()));
    line.append("\t").append(item.mode);
}

// One decimal, without the "-0.0" of a value a hair below zero.
double Tidy(double v) {
    return std::fabs(v) < 0.05 ? 0.0 : v;
}

} // namespace

std::string ClashLine(const TClash& clash) {
    std::string line(ClashStatusName(clash.status));
    AppendItem(line, clash.a);
    AppendItem(line, clash.b);
    char xyz[96];
    std::snprintf(xyz, sizeof xyz, "\t%.1f\t%.1f\t%.1f", Tidy(clash.point[0]), Tidy(clash.point[1]),
                  Tidy(clash.point[2]));
    line.append(xyz).append("\t").append(ClashTypeName(clash.type));
    char distance[48];
    std::snprintf(distance, sizeof distance, "\t%.1f", Tidy(clash.distance));
    return line.append(distance);
}

} // namespace hk
