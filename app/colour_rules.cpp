// The colour rule file reader.
#include "app/colour_rules.h"

#include "app/data_file.h"
#include "app/sjis.h"
#include "app/text_file.h"

#include <vector>

namespace hk {

void LoadColourRules(TDocument& doc, const std::string& fileName) {
    std::vector<std::string> lines;
    if (!ReadTextLines(fileName, lines))
        throw EColourRuleFileError(Utf8ToSjis("Cannot open the colour rule file " + fileName));
    ItemTable<ColourRule> rules;
    for (const std::string& line : lines) {
        std::string_view rest = line;
        std::string_view name = TrimName(SplitField(rest));
        std::string_view rptname = TrimName(SplitField(rest));
        std::string_view third = TrimName(SplitField(rest));
        if (name.empty())
            continue;
        ColourRule rule;
        rule.name = name;
        rule.rptname = rptname;
        if (rest.find(',') != std::string_view::npos) {
            rule.Red = ParseIntDef(third, 255);
            rule.Green = ParseIntDef(TrimName(SplitField(rest)), 255);
            rule.Blue = ParseIntDef(TrimName(SplitField(rest)), 255);
            rule.colourMode = 1;
        } else {
            rule.materialName = third;
            rule.colourMode = 2;
        }
        rules.Append(rule);
    }
    doc.ColourRuleTable = std::move(rules);
}

} // namespace hk
