// Grouping for the data-file loader: finding and registering the group of a record, the
// duplicate test of two-point lines and the colour rules applied to groups.
#include "app/data_file.h"
#include "app/data_file_reader.h"

#include <cmath>

namespace hk {
namespace {

constexpr double cSameCoordinate = 1.0e-5;

// The low byte of a rule's colour component, as a group stores it.
std::uint8_t LowByte(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

void CopyRule(const ColourRule& rule, GroupEntry& g) {
    g.colourMode = static_cast<std::uint8_t>(rule.colourMode);
    g.Red = LowByte(rule.Red);
    g.Green = LowByte(rule.Green);
    g.Blue = LowByte(rule.Blue);
    g.materialName = rule.materialName;
}

} // namespace

bool detail::SameEnds(const LineItem& l, double x1, double y1, double z1, double x2, double y2,
                      double z2) {
    auto near = [](double a, double b) { return std::fabs(a - b) < cSameCoordinate; };
    return near(l.x1, x1) && near(l.y1, y1) && near(l.z1, z1) && near(l.x2, x2) && near(l.y2, y2) &&
           near(l.z2, z2);
}

bool FindGroup(const TDocument& doc, int kind, std::string_view name, std::string_view rptname,
               std::string_view dddname, int& groupIndex) {
    for (int i = 1; i <= doc.GroupTable.Count(); ++i) {
        const GroupEntry& g = doc.GroupTable[i];
        bool kindMatches = g.kind == kind || (kind == ikLine && g.kind == ikPolyline);
        if (kindMatches && g.rptname == rptname && g.name == name && g.dddname == dddname) {
            groupIndex = i;
            return true;
        }
    }
    return false;
}

int AddGroup(TDocument& doc, int kind, std::string_view name, std::string_view rptname,
             std::string_view dddname, double ddd) {
    GroupEntry g;
    g.kind = static_cast<std::int16_t>(kind);
    g.name = name;
    g.rptname = rptname;
    g.dddname = dddname;
    g.ddd = ddd;
    g.onoff = TrimName(dddname).empty() ? 0 : 1;
    return doc.GroupTable.Append(g);
}

bool LineExists(const TDocument& doc, std::string_view name, std::string_view rptname,
                std::string_view dddname, double x1, double y1, double z1, double x2, double y2,
                double z2) {
    name = String20::Cut(name);
    rptname = String20::Cut(rptname);
    dddname = String20::Cut(dddname);
    for (const LineItem& l : doc.LineTable) {
        if (l.name == name && l.rptname == rptname && l.dddname == dddname &&
            detail::SameEnds(l, x1, y1, z1, x2, y2, z2))
            return true;
    }
    return false;
}

void ApplyColourRules(TDocument& doc) {
    for (GroupEntry& g : doc.GroupTable) {
        for (const ColourRule& rule : doc.ColourRuleTable)
            if (rule.name == g.name && rule.rptname.empty())
                CopyRule(rule, g);
        for (const ColourRule& rule : doc.ColourRuleTable)
            if (rule.name == g.name && rule.rptname == g.rptname) {
                CopyRule(rule, g);
                break;
            }
    }
}

} // namespace hk
