// Pick details and item summaries: the fixed labels and number formats of each table.
#include "app/details.h"

#include "app/sjis.h"

#include <cstdio>
#include <string_view>

namespace hk {
namespace {

// Builds one detail line: labels are written here in UTF-8 and stored as Shift-JIS, texts of
// the tables are Shift-JIS already and appended at their stored length.
class Line {
public:
    // A label followed by a real number, a decimal integer or a stored text.
    Line& Real(std::string_view label, double value) {
        return Label(label).Raw(FormatDetailNumber(value));
    }
    Line& Int(std::string_view label, long long value) {
        return Label(label).Raw(std::to_string(value));
    }
    Line& Text(std::string_view label, std::string_view sjis) { return Label(label).Raw(sjis); }

    Line& Label(std::string_view utf8) {
        text_ += Utf8ToSjis(utf8);
        return *this;
    }
    Line& Raw(std::string_view sjis) {
        text_.append(sjis);
        return *this;
    }
    // Three values with "%9.0f" each.
    Line& F3(double a, double b, double c) { return Format("%9.0f%9.0f%9.0f", a, b, c); }
    // printf-style numbers; the pattern holds only ASCII or a UTF-8 label before the fields.
    template <class... Args> Line& Format(const char* pattern, Args... values) {
        const int n = std::snprintf(nullptr, 0, pattern, values...);
        if (n <= 0)
            return *this;
        std::string buffer(static_cast<std::size_t>(n) + 1, '\0');
        std::snprintf(buffer.data(), buffer.size(), pattern, values...);
        buffer.pop_back();
        return Label(buffer);
    }
    // The runs of fields that many kinds share.
    template <class T> Line& Names(std::string_view firstLabel, const T& item) {
        return Text(firstLabel, item.name).Text("　名称２：", item.rptname);
    }
    template <class T> Line& Diameter(const T& item) {
        return Text("　直径名称：", item.dddname).Real("　直径：", item.ddd);
    }
    Line& Xyz(double x, double y, double z) {
        return Real("　Ｘ：", x).Real("　Ｙ：", y).Real("　Ｚ：", z);
    }
    // Labelled values; labels[i] goes with values[i].
    template <std::size_t N>
    Line& Reals(const std::string_view (&labels)[N], const double* values) {
        for (std::size_t i = 0; i < N; ++i)
            Real(labels[i], values[i]);
        return *this;
    }
    template <class T> Line& CodeAndLine(const T& item) {
        return Int("　衝突：", item.code).Int("　行：", item.lineNo);
    }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

// "name:rptname" with no spaces.
Line& NameAndReport(Line& line, std::string_view name, std::string_view rptname) {
    return line.Raw(name).Raw(":").Raw(rptname);
}

bool GroupShown(const TDocument& doc, int group) {
    return group >= 1 && group <= doc.GroupTable.Count() && doc.GroupTable[group].onoff != 0;
}

template <class Table, class Print>
int PrintMatching(const TDocument& doc, const Table& table, int lineNo, TMessageLog& log,
                  Print print) {
    int printed = 0;
    for (const auto& item : table) {
        if (item.lineNo != lineNo || !GroupShown(doc, item.group))
            continue;
        Line line;
        print(line, item);
        log.Add(line.str());
        ++printed;
    }
    return printed;
}

template <class Table> bool InRange(const Table& table, int index) {
    return index >= 1 && index <= table.Count();
}

} // namespace

std::string FormatDetailNumber(double value) {
    // The widest double printed this way has 309 integer digits, a sign, a point and 6 decimals.
    char buffer[330];
    std::snprintf(buffer, sizeof buffer, "%10.6f", value);
    std::string_view text(buffer);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == '0')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1);
    return std::string(text);
}

int ShowPickDetails(const TDocument& doc, int lineNo, TMessageLog& log) {
    int printed = 0;
    printed += PrintMatching(doc, doc.PointTable, lineNo, log, [](Line& l, const PointItem& p) {
        l.Names("名称１：", p).Real("　サイズ：", p.ddd).Xyz(p.x, p.y, p.z).CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.LineTable, lineNo, log, [](Line& l, const LineItem& p) {
        l.Names("名称１：", p)
            .Diameter(p)
            .Text("　点名称：", p.startLabel)
            .Xyz(p.x1, p.y1, p.z1)
            .Text("　点名称：", p.endLabel)
            .Xyz(p.x2, p.y2, p.z2)
            .CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.PolyTable, lineNo, log, [](Line& l, const PolyVertex& p) {
        l.Int("種別：", p.kind)
            .Names("　名称１：", p)
            .Diameter(p)
            .Text("　点名称：", p.label)
            .Xyz(p.x, p.y, p.z)
            .Int("　立体番号：", p.faceA)
            .Int("　面番号：", p.faceB)
            .CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.ArcTable, lineNo, log, [](Line& l, const ArcItem& p) {
        static constexpr std::string_view cLabels[] = {
            "　中心Ｘ：", "　Ｙ：",   "　Ｚ：",   "　半径：", "　Ｘ１：", "　Ｙ１：", "　Ｚ１：",
            "　Ｘ２：",   "　Ｙ２：", "　Ｚ２：", "　Ｘ３：", "　Ｙ３：", "　Ｚ３："};
        l.Int("種別：", p.kind).Names("　名称１：", p).Diameter(p).Reals(cLabels, &p.p[1]);
        l.CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.RangeTable, lineNo, log, [](Line& l, const RangeItem& p) {
        static constexpr std::string_view cLabels[] = {
            "　ＳＸ１：", "　ＳＹ１：", "　ＳＺ１：", "　ＳＸ２：", "　ＳＹ２：", "　ＳＺ２：",
            "　ＨＸ１：", "　ＨＹ１：", "　ＨＺ１：", "　ＨＸ２：", "　ＨＹ２：", "　ＨＺ２："};
        l.Names("名称１：", p).Reals(cLabels, &p.r[1]).CodeAndLine(p);
    });
    printed +=
        PrintMatching(doc, doc.DimensionTable, lineNo, log, [](Line& l, const DimensionItem& p) {
            static constexpr std::string_view cLabels[] = {
                "　Ｘ１：", "　Ｙ１：", "　Ｚ１：", "　Ｘ２：", "　Ｙ２：", "　Ｚ２：",
                "　Ｘ３：", "　Ｙ３：", "　Ｚ３：", "　Ｘ４：", "　Ｙ４：", "　Ｚ４："};
            l.Int("種別：", p.kind)
                .Names("　名称１：", p)
                .Text("　フラグ：", p.flag)
                .Text("　オプション：", p.dimText1)
                .Text("　テキスト：", p.dimText2)
                .Reals(cLabels, &p.d[1])
                .CodeAndLine(p);
        });
    printed += PrintMatching(doc, doc.TorusTable, lineNo, log, [](Line& l, const TorusItem& p) {
        l.Names("名称１：", p)
            .Diameter(p)
            .Real("　中心Ｘ：", p.x)
            .Real("　Ｙ：", p.y)
            .Real("　Ｚ：", p.z)
            .Real("　半径：", p.major)
            .Real("　ピッチ：", p.pitch)
            .Real("　ターン：", p.turn)
            .CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.PipeTable, lineNo, log, [](Line& l, const PipeItem& p) {
        l.Names("名称１：", p)
            .Text("　直径名称：", p.dddname)
            .Real("　直径外側：", p.ddd)
            .Real("　直径内側：", p.ddd2)
            .Text("　点名：", p.startLabel)
            .Xyz(p.x1, p.y1, p.z1)
            .Text("　点名：", p.endLabel)
            .Xyz(p.x2, p.y2, p.z2)
            .CodeAndLine(p);
    });
    printed += PrintMatching(doc, doc.ModelTable, lineNo, log, [](Line& l, const ModelItem& p) {
        l.Names("名称１：", p)
            .Xyz(p.x, p.y, p.z)
            .Real("　スケールＸ：", p.sx)
            .Real("　スケールＹ：", p.sy)
            .Real("　スケールＺ：", p.sz)
            .Real("　ピッチ：", p.pitch)
            .Real("　ターン：", p.turn)
            .CodeAndLine(p);
    });
    return printed;
}

int FigureEnd(const TDocument& doc, int index) {
    int end = index + 1;
    while (end <= doc.PolyTable.Count() && doc.PolyTable[end].seq != 1)
        ++end;
    return end;
}

bool LineHasItems(const TDocument& doc, int lineNo) {
    const auto has = [lineNo](const auto& table) {
        for (const auto& item : table)
            if (item.lineNo == lineNo)
                return true;
        return false;
    };
    return has(doc.PointTable) || has(doc.LineTable) || has(doc.PolyTable) || has(doc.ArcTable) ||
           has(doc.RangeTable) || has(doc.DimensionTable) || has(doc.TorusTable) ||
           has(doc.PipeTable) || has(doc.ModelTable);
}

bool ShowItemSummary(const TDocument& doc, int kind, int index, TMessageLog& log) {
    Line l;
    if (kind == ikPoint) {
        if (!InRange(doc.PointTable, index))
            return false;
        const PointItem& p = doc.PointTable[index];
        l.Raw(p.name).F3(p.x, p.y, p.z);
    } else if (kind == ikLine) {
        if (!InRange(doc.LineTable, index))
            return false;
        const LineItem& p = doc.LineTable[index];
        l.Raw(p.startLabel).F3(p.x1, p.y1, p.z1).Raw(p.endLabel).F3(p.x2, p.y2, p.z2);
    } else if (kind == ikPolyline || kind == ikFace) {
        if (!InRange(doc.PolyTable, index))
            return false;
        const int end = FigureEnd(doc, index);
        for (int v = index; v < end; ++v) {
            const PolyVertex& p = doc.PolyTable[v];
            log.Add(Line().Raw(p.label).F3(p.x, p.y, p.z).str());
        }
        return true;
    } else if (kind == ikArc || kind == ikCircle) {
        if (!InRange(doc.ArcTable, index))
            return false;
        const ArcItem& p = doc.ArcTable[index];
        l.Raw(p.name)
            .Raw(p.rptname)
            .Format("中心%9.0f%9.0f%9.0f", p.p[1], p.p[2], p.p[3])
            .Format("半径%9.0f", p.p[4])
            .F3(p.p[5], p.p[6], p.p[7])
            .F3(p.p[8], p.p[9], p.p[10])
            .F3(p.p[11], p.p[12], p.p[13]);
    } else if (IsDimensionKind(kind)) {
        if (!InRange(doc.DimensionTable, index))
            return false;
        const DimensionItem& p = doc.DimensionTable[index];
        l.Raw(p.name).Raw(":").Raw(p.dimText1);
        for (int i = 1; i <= 10; i += 3)
            l.F3(p.d[i], p.d[i + 1], p.d[i + 2]);
        l.Raw(" ").Raw(p.dimText2);
    } else if (kind == ikRange) {
        if (!InRange(doc.RangeTable, index))
            return false;
        const RangeItem& p = doc.RangeTable[index];
        NameAndReport(l, p.name, p.rptname);
        for (int i = 1; i <= 10; i += 3)
            l.F3(p.r[i], p.r[i + 1], p.r[i + 2]);
    } else if (kind == ikTorus) {
        if (!InRange(doc.TorusTable, index))
            return false;
        const TorusItem& p = doc.TorusTable[index];
        NameAndReport(l, p.name, p.rptname)
            .Format("%6.0f", static_cast<double>(p.major))
            .F3(p.x, p.y, p.z)
            .Format("%6.0f%6.0f", static_cast<double>(p.pitch), static_cast<double>(p.turn));
    } else if (kind == ikPipe) {
        if (!InRange(doc.PipeTable, index))
            return false;
        const PipeItem& p = doc.PipeTable[index];
        NameAndReport(l, p.name, p.rptname)
            .Format("%7.0f%7.0f", static_cast<double>(p.ddd), static_cast<double>(p.ddd2))
            .Raw(" ")
            .Raw(p.startLabel)
            .Raw(" ")
            .F3(p.x1, p.y1, p.z1)
            .Raw(" ")
            .Raw(p.endLabel)
            .Raw(" ")
            .F3(p.x2, p.y2, p.z2);
    } else if (kind == ikModel) {
        if (!InRange(doc.ModelTable, index))
            return false;
        const ModelItem& p = doc.ModelTable[index];
        NameAndReport(l, p.name, p.rptname)
            .F3(p.x, p.y, p.z)
            .Format("%6.0f%6.0f", static_cast<double>(p.pitch), static_cast<double>(p.turn));
    } else {
        return false;
    }
    log.Add(l.str());
    return true;
}

} // namespace hk
