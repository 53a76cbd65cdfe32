// The colour rule file reader.
#include "app/colour_rules.h"

#include "app/data_file.h"
#include "app/sjis.h"
#include "app/text_file.h"

#include <vector>

namespace hk {

namespace {

// One colour component of a rule: the integer, or 255 with a notice when there is none; a
// value outside 0 to 255 is kept with a notice.
int Component(std::string_view text, const std::string& where, const char* which,
              std::vector<std::string>& notices) {
    int v = 255;
    if (!TryParseInt(text, v)) {
        notices.push_back(where + ": " + which + " '" + Utf8Excerpt(text) +
                          "' is not an integer; 255 is used");
        return 255;
    }
    if (v < 0 || v > 255)
        notices.push_back(where + ": " + which + " " + std::to_string(v) +
                          " is outside 0 to 255; its low byte " + std::to_string(v & 0xFF) +
                          " is used");
    return v;
}

} // namespace

std::vector<std::string> LoadColourRules(TDocument& doc, const std::string& fileName) {
    std::vector<std::string> lines;
    if (!ReadTextLines(fileName, lines))
        throw EColourRuleFileError("Cannot open the colour rule file " + fileName);
    ToShiftJisLines(lines);
    std::vector<std::string> notices;
    ItemTable<ColourRule> rules;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view rest = lines[i];
        std::string_view name = TrimName(SplitField(rest));
        std::string_view rptname = TrimName(SplitField(rest));
        std::string_view third = TrimName(SplitField(rest));
        if (name.empty())
            continue;
        ColourRule rule;
        rule.name = name;
        rule.rptname = rptname;
        if (rest.find(',') != std::string_view::npos) {
            const std::string where = FileLinePlace(fileName, int(i) + 1);
            rule.Red = Component(third, where, "red", notices);
            rule.Green = Component(TrimName(SplitField(rest)), where, "green", notices);
            rule.Blue = Component(TrimName(SplitField(rest)), where, "blue", notices);
            rule.colourMode = 1;
        } else {
            rule.materialName = third;
            rule.colourMode = 2;
        }
        rules.Append(rule);
    }
    doc.ColourRuleTable = std::move(rules);
    return notices;
}

} // namespace hk
