// The records of the item tables, one per kind of data-file record, and the group (master) and
// colour rule entries. Coordinates are in data-file units. Text fields are Shift-JIS short
// strings; numbered columns are kept in 1-based arrays so that p[1] is the column named p1.
// Every item record ends with group, visible, code and lineNo: the group index, the shown flag
// (1 after a load), the collision code (0 none, 1..5 a bounding mode + 1) and the data-file
// line of the record's last line, which becomes the scene object's Tag.
#pragma once

#include "app/short_string.h"

#include <array>
#include <cstdint>
#include <string>

namespace hk {

// Kind codes of data-file records and of groups.
enum TItemKind : std::int16_t {
    ikNone = 0,
    ikPoint = 1,
    ikLine = 2,
    ikArc = 3,
    ikCircle = 4,
    ikText = 5,
    ikPolyline = 6,
    ikFace = 7,
    ikDimension = 10, // 10 to 14 are all dimensions; 10 stands for the family
    ikRange = 16,
    ikTorus = 18,
    ikPipe = 20,
    ikModel = 22,
};

// True for the dimension codes 10 to 14.
constexpr bool IsDimensionKind(int kind) {
    return kind >= 10 && kind <= 14;
}

// The name the user interface shows for a kind code (Shift-JIS); empty for unknown codes.
std::string KindName(int kind);

struct PointItem {
    String20 name;
    String20 rptname;
    float ddd = 0; // point size
    double x = 0, y = 0, z = 0;
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

struct LineItem {
    String20 name;
    String20 dddname;
    float ddd = 0; // radius
    String20 startLabel;
    double x1 = 0, y1 = 0, z1 = 0;
    String20 endLabel;
    double x2 = 0, y2 = 0, z2 = 0;
    int group = 0;
    std::uint8_t visible = 1;
    String20 rptname;
    int code = 0;
    int lineNo = 0;
};

// A polyline vertex (kind 6) or a face vertex (kind 7); seq 1 starts a figure.
struct PolyVertex {
    std::int16_t kind = ikPolyline;
    String20 name;
    int seq = 0;
    String20 dddname;
    float ddd = 0;
    String20 label;
    double x = 0, y = 0, z = 0;
    int group = 0;
    std::uint8_t visible = 1;
    String20 rptname;
    std::int16_t faceA = 0, faceB = 0;
    int code = 0;
    int lineNo = 0;
};

// An arc (kind 3) or circle (kind 4): p[1..3] centre, p[4] radius, p[5..7] orientation point,
// p[8..13] stored only. p[0] is unused.
struct ArcItem {
    std::int16_t kind = ikArc;
    String20 name;
    String20 rptname;
    String20 dddname;
    float ddd = 0;
    std::array<double, 14> p{};
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

// A dimension (kinds 10 to 14): four points d[1..3], d[4..6], d[7..9], d[10..12]. flag is a
// text field that no column fills. name is the caption text of kind 14.
struct DimensionItem {
    std::int16_t kind = 10;
    String20 flag;
    String20 rptname;
    String40 name;
    String20 dimText1;
    String40 dimText2;
    std::array<double, 13> d{};
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

// A range: two boxes r[1..6] and r[7..12], each min x, y, z then max x, y, z. name is the
// record's tag ("SE3D" or "HK3D").
struct RangeItem {
    String20 name;
    String20 rptname;
    std::array<double, 13> r{};
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

struct TorusItem {
    String20 name;
    String20 rptname;
    String20 dddname;
    float ddd = 0;   // minor radius
    float major = 0; // major radius
    double x = 0, y = 0, z = 0;
    float pitch = 0, turn = 0; // degrees
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

struct PipeItem {
    String20 name;
    String20 rptname;
    String20 dddname;
    float ddd = 0;  // outer radius
    float ddd2 = 0; // inner radius
    String20 startLabel;
    double x1 = 0, y1 = 0, z1 = 0;
    String20 endLabel;
    double x2 = 0, y2 = 0, z2 = 0;
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

// A 3DS model placed at (x, y, z) with scale (sx, sy, sz). pitch and turn are not filled by
// any column and stay 0.
struct ModelItem {
    String20 name;
    String20 rptname;
    double x = 0, y = 0, z = 0;
    double sx = 0, sy = 0, sz = 0;
    std::string modelFile;
    float pitch = 0, turn = 0;
    int group = 0;
    std::uint8_t visible = 1;
    int code = 0;
    int lineNo = 0;
};

// One group of items (a row of the group grid), keyed by kind, name, rptname and dddname.
struct GroupEntry {
    std::int16_t kind = ikNone; // a line group becomes ikPolyline when its line is converted
    String20 name;
    std::uint8_t onoff = 0; // 1: the group's items are built into the scene
    String20 dddname;
    double ddd = 0;
    // 0: default material "MatSurface"; 1: the RGB colour below; 2: library material
    std::uint8_t colourMode = 0;
    std::uint8_t Blue = 204, Green = 204, Red = 204;
    String20 materialName;
    int itemCount = 0; // items of the last load filed under this group
    int dupCount = 1;  // records of the last load that found this group
    String20 rptname;
};

// One line of the colour rule file. An empty rptname applies to every report name.
struct ColourRule {
    String20 name;
    String20 rptname;
    std::int16_t colourMode = 0; // 1 RGB, 2 material
    String20 materialName;
    int Red = 255, Green = 255, Blue = 255; // only the low byte reaches a group
};

// Bounding box of the line and polyline vertex points of the last load.
struct TSceneBounds {
    static constexpr double cEmptyMin = 1.0e13;
    static constexpr double cEmptyMax = -1.0e13;

    double minX = cEmptyMin, minY = cEmptyMin, minZ = cEmptyMin;
    double maxX = cEmptyMax, maxY = cEmptyMax, maxZ = cEmptyMax;

    // Takes the point into the box.
    void Include(double x, double y, double z);
};

} // namespace hk
