// The record parser of the data-file loader: reads each line's kind and columns into an item,
// files it under its group, joins polyline and face vertices into their figures and keeps the
// scene bounds.
#include "app/data_file.h"
#include "app/data_file_reader.h"

#include "app/sjis.h"
#include "app/text_file.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace hk::detail {
namespace {

// A Double column stored in a Single field; values beyond the float range become infinite
// rather than undefined.
float ToSingle(double v) {
    constexpr double cMax = std::numeric_limits<float>::max();
    if (v > cMax)
        return std::numeric_limits<float>::infinity();
    if (v < -cMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// The item tables of one load, parsed from the lines of one file into `work`, whose item tables
// start empty.
class Loader {
public:
    Loader(TDocument& work, const std::string& fileName, const std::vector<std::string>& lines,
           TLoadNotices& notices)
        : d_(work), fileName_(fileName), lines_(lines), notices_(notices) {}

    void Run() {
        while (next_ < lines_.size()) {
            std::string_view rest = NextLine();
            int kind = Int(rest);
            if (kind > 0)
                Record(kind, rest);
        }
    }

private:
    // Columns left after a record's last one are ignored; non-blank ones are noted, since they
    // usually mean a comma was used as decimal separator and the columns have shifted.
    void CheckRest(std::string_view rest) {
        if (TrimName(rest).find_first_not_of(", \t") == std::string_view::npos)
            return;
        notices_.Add(FileLinePlace(fileName_, lineNo_) +
                     ": columns after the record's last one ignored: '" + Utf8Excerpt(rest) +
                     "' (a comma used as decimal separator?)");
    }

    // The next physical line, or an empty one past the end of the file; raises the line count.
    std::string_view NextLine() {
        ++lineNo_;
        return next_ < lines_.size() ? std::string_view(lines_[next_++]) : std::string_view();
    }

    void Skip(std::string_view& rest, int columns = 1) {
        for (int i = 0; i < columns; ++i)
            SplitField(rest);
    }
    int Int(std::string_view& rest) { return ParseIntDef(SplitField(rest), 0); }
    std::string_view Name(std::string_view& rest) { return TrimName(SplitField(rest)); }
    double Float(std::string_view& rest) {
        std::string_view field = SplitField(rest);
        double v = 0;
        if (!TryParseFloat(field, v))
            throw EConvertError(NotAFloatHead(field), fileName_, lineNo_, context_);
        if (!(std::fabs(v) < cDecimalColumnLimit))
            throw EConvertError(OutOfRangeHead(field), fileName_, lineNo_, context_);
        return v;
    }

    // The group of the last polyline or face vertex filed, by the vertex's kind: the group a
    // continuation vertex of that kind joins; 0 when no figure of the kind has been started.
    int& FigureGroup(int kind) { return kind == ikFace ? lastFaceGroup_ : lastPolylineGroup_; }
    void AppendVertex(const PolyVertex& v) {
        d_.PolyTable.Append(v);
        FigureGroup(v.kind) = v.group;
    }

    void Record(int kind, std::string_view rest) {
        switch (kind) {
        case ikPoint:
            Point(rest);
            break;
        case ikLine:
            LineOrVertex(rest);
            break;
        case ikArc:
        case ikCircle:
            Arc(kind, rest);
            break;
        case ikFace:
            Face(rest);
            break;
        case ikRange:
            Range(rest);
            break;
        case ikTorus:
            Torus(rest);
            break;
        case ikPipe:
            Pipe(rest);
            break;
        case ikModel:
            Model(rest);
            break;
        default:
            if (IsDimensionKind(kind))
                Dimension(kind, rest);
            // Text records and unknown kinds store nothing and register no group.
            break;
        }
    }

    // Finds the record's group (counting the hit) or registers a new one.
    int GroupOf(int kind, std::string_view name, std::string_view rptname, std::string_view dddname,
                double ddd) {
        int g = 0;
        if (FindGroup(d_, kind, name, rptname, dddname, g)) {
            ++d_.GroupTable[g].dupCount;
            return g;
        }
        return AddGroup(d_, kind, name, rptname, dddname, ddd);
    }

    void Count(int group) { ++d_.GroupTable[group].itemCount; }

    // The name columns of a record at full length, for the group look-up; the item stores them
    // cut to its fields.
    struct TNames {
        std::string_view name, rptname, dddname;
    };
    // Reads the name and report name columns, and the diameter name column where the item has
    // one, into the item and the names.
    template <class Item> TNames ReadNames(std::string_view& rest, Item& item) {
        TNames n;
        n.name = Name(rest);
        n.rptname = Name(rest);
        item.name = n.name;
        item.rptname = n.rptname;
        if constexpr (requires { item.dddname; }) {
            n.dddname = Name(rest);
            item.dddname = n.dddname;
        }
        return n;
    }
    void ReadXyz(std::string_view& rest, double& x, double& y, double& z) {
        x = Float(rest);
        y = Float(rest);
        z = Float(rest);
    }
    // The collision code that ends a record, then the item filed in its table under its group.
    template <class Item, class Table>
    void File(Item& item, Table& table, std::string_view rest, int kind, const TNames& names,
              double ddd) {
        item.code = Int(rest);
        CheckRest(rest);
        item.lineNo = lineNo_;
        item.group = GroupOf(kind, names.name, names.rptname, names.dddname, ddd);
        table.Append(item);
        Count(item.group);
    }

    void Point(std::string_view rest) {
        PointItem p;
        Skip(rest);
        std::string_view name = Name(rest);
        if (name.empty())
            name = PointDefaultName();
        p.name = name;
        p.rptname = Name(rest);
        p.ddd = ToSingle(Float(rest));
        ReadXyz(rest, p.x, p.y, p.z);
        File(p, d_.PointTable, rest, ikPoint, {name, {}, {}}, 0);
    }

    static std::string_view PointDefaultName() {
        static const std::string name = Utf8ToSjis("点");
        return name;
    }

    void LineOrVertex(std::string_view rest) {
        std::string_view first = rest;
        Skip(first);
        if (ParseIntDef(SplitField(first), 0) == 1)
            Line(first);
        else
            PolylineVertex(rest);
    }

    // A two-point line: this physical line and the next one.
    void Line(std::string_view rest) {
        LineItem l;
        const TNames names = ReadNames(rest, l);
        double ddd = Float(rest);
        l.ddd = ToSingle(ddd);
        l.startLabel = Name(rest);
        ReadXyz(rest, l.x1, l.y1, l.z1);
        l.code = Int(rest);
        CheckRest(rest);

        const int firstLine = lineNo_;
        if (next_ >= lines_.size())
            context_ = ": the file ends before the second line of the two-point line of line " +
                       std::to_string(firstLine);
        std::string_view second = NextLine();
        Skip(second, 2);
        Int(second);
        Skip(second, 4);
        l.endLabel = Name(second);
        ReadXyz(second, l.x2, l.y2, l.z2);
        // Exporters write more columns on this line than it uses (the code column again, for
        // one): they are ignored without a notice.
        l.lineNo = lineNo_;

        l.group = GroupOf(ikLine, names.name, names.rptname, names.dddname, ddd);
        if (!Filed(l)) {
            linesByName_[LineKey(l)].push_back(d_.LineTable.Append(l));
            Count(l.group);
        }
        d_.SceneBounds.Include(l.x1, l.y1, l.z1);
        d_.SceneBounds.Include(l.x2, l.y2, l.z2);
    }

    // The names of a line as stored, as one key: the lines of one key are the only candidates
    // for a duplicate, so the test does not walk every line filed before.
    static std::string LineKey(const LineItem& l) {
        return l.name.str() + '\0' + l.rptname.str() + '\0' + l.dddname.str();
    }

    // LineExists over the lines of this load, through their names.
    bool Filed(const LineItem& l) const {
        auto bucket = linesByName_.find(LineKey(l));
        if (bucket == linesByName_.end())
            return false;
        for (int i : bucket->second) {
            if (SameEnds(d_.LineTable[i], l.x1, l.y1, l.z1, l.x2, l.y2, l.z2))
                return true;
        }
        return false;
    }

    // Turns the last line of LineTable into the first two vertices of a polyline.
    void ConvertLastLine() {
        const LineItem l = d_.LineTable.Last();
        PolyVertex v;
        v.kind = ikPolyline;
        v.name = l.name;
        v.rptname = l.rptname;
        v.dddname = l.dddname;
        v.ddd = l.ddd;
        v.group = l.group;
        v.visible = l.visible;
        v.code = l.code;
        v.lineNo = l.lineNo;
        v.seq = 1;
        v.label = l.startLabel;
        v.x = l.x1, v.y = l.y1, v.z = l.z1;
        AppendVertex(v);
        v.seq = 2;
        v.label = l.endLabel;
        v.x = l.x2, v.y = l.y2, v.z = l.z2;
        AppendVertex(v);
        linesByName_[LineKey(l)].pop_back();
        d_.LineTable.RemoveLast();
        if (l.group >= 1)
            d_.GroupTable[l.group].kind = ikPolyline;
    }

    // A polyline vertex (kind 2 with a sequence number other than 1).
    void PolylineVertex(std::string_view rest) {
        PolyVertex v;
        v.kind = ikPolyline;
        Skip(rest);
        v.seq = Int(rest);
        v.name = Name(rest);
        v.rptname = Name(rest);
        v.dddname = Name(rest);
        v.ddd = ToSingle(Float(rest));
        v.label = Name(rest);
        ReadXyz(rest, v.x, v.y, v.z);
        v.code = Int(rest);
        CheckRest(rest);
        v.lineNo = lineNo_;

        if (v.seq == 3 && !d_.LineTable.empty())
            ConvertLastLine();
        v.group = FigureGroup(ikPolyline);
        if (v.group == 0)
            return; // no figure to join
        AppendVertex(v);
        d_.SceneBounds.Include(v.x, v.y, v.z);
    }

    void Face(std::string_view rest) {
        PolyVertex v;
        v.kind = ikFace;
        v.faceA = static_cast<std::int16_t>(Int(rest));
        v.faceB = static_cast<std::int16_t>(Int(rest));
        v.seq = Int(rest);
        std::string_view name = Name(rest), rptname = Name(rest);
        v.name = name;
        v.rptname = rptname;
        v.label = Name(rest);
        ReadXyz(rest, v.x, v.y, v.z);
        v.code = Int(rest);
        CheckRest(rest);
        v.lineNo = lineNo_;

        if (v.seq == 1) {
            v.group = GroupOf(ikFace, name, rptname, {}, 0);
            Count(v.group);
        } else {
            v.group = FigureGroup(ikFace);
            if (v.group == 0)
                return; // no figure to join
        }
        AppendVertex(v);
    }

    void Arc(int kind, std::string_view rest) {
        ArcItem a;
        a.kind = static_cast<std::int16_t>(kind);
        Skip(rest);
        const TNames names = ReadNames(rest, a);
        double ddd = Float(rest);
        a.ddd = ToSingle(ddd);
        for (int i = 1; i <= 13; ++i)
            a.p[i] = Float(rest);
        File(a, d_.ArcTable, rest, kind, names, ddd);
    }

    void Dimension(int kind, std::string_view rest) {
        DimensionItem m;
        m.kind = static_cast<std::int16_t>(kind);
        Skip(rest);
        const TNames names = ReadNames(rest, m);
        m.dimText1 = Name(rest);
        m.dimText2 = Name(rest);
        for (int i = 1; i <= 12; ++i)
            m.d[i] = Float(rest);
        File(m, d_.DimensionTable, rest, kind, names, 0);
    }

    void Range(std::string_view rest) {
        RangeItem r;
        Skip(rest);
        std::string tag(Name(rest)), rptname(Name(rest));
        Skip(rest);
        SplitFloat(rest, fileName_, lineNo_);
        for (int i = 0; i < 3; ++i)
            Float(rest);
        if (tag != "SE3D" && tag != "HK3D")
            return;
        r.name = tag;
        r.rptname = rptname;
        bool allZero = true;
        for (int i = 1; i <= 12; ++i) {
            r.r[i] = Float(rest);
            allZero = allZero && r.r[i] == 0;
        }
        r.code = Int(rest);
        CheckRest(rest);
        r.lineNo = lineNo_;
        r.group = GroupOf(ikRange, tag, rptname, {}, 0);
        if (allZero)
            return;
        d_.RangeTable.Append(r);
        Count(r.group);
    }

    void Torus(std::string_view rest) {
        TorusItem t;
        Skip(rest);
        const TNames names = ReadNames(rest, t);
        double ddd = Float(rest);
        t.ddd = ToSingle(ddd);
        ReadXyz(rest, t.x, t.y, t.z);
        t.major = ToSingle(Float(rest));
        t.pitch = ToSingle(Float(rest));
        t.turn = ToSingle(Float(rest));
        File(t, d_.TorusTable, rest, ikTorus, names, ddd);
    }

    void Pipe(std::string_view rest) {
        PipeItem p;
        Skip(rest);
        const TNames names = ReadNames(rest, p);
        double ddd = Float(rest);
        p.ddd = ToSingle(ddd);
        p.ddd2 = ToSingle(Float(rest));
        p.startLabel = Name(rest);
        ReadXyz(rest, p.x1, p.y1, p.z1);
        p.endLabel = Name(rest);
        ReadXyz(rest, p.x2, p.y2, p.z2);
        File(p, d_.PipeTable, rest, ikPipe, names, ddd);
    }

    void Model(std::string_view rest) {
        ModelItem m;
        Skip(rest);
        const TNames names = ReadNames(rest, m);
        ReadXyz(rest, m.x, m.y, m.z);
        ReadXyz(rest, m.sx, m.sy, m.sz);
        m.modelFile = std::string(SplitField(rest));
        File(m, d_.ModelTable, rest, ikModel, names, 0);
    }

    TDocument& d_;
    const std::string& fileName_;
    const std::vector<std::string>& lines_;
    std::size_t next_ = 0;
    int lineNo_ = 0;
    std::unordered_map<std::string, std::vector<int>> linesByName_; // LineKey -> LineTable index
    int lastPolylineGroup_ = 0;
    int lastFaceGroup_ = 0;
    std::string context_; // said after the place of a conversion error
    TLoadNotices& notices_;
};

} // namespace

void TLoadNotices::Add(std::string line) {
    if (static_cast<int>(lines.size()) < cMaxLoadNotices)
        lines.push_back(std::move(line));
    else
        ++unlisted;
}

void ReadRecords(TDocument& work, const std::string& fileName,
                 const std::vector<std::string>& lines, TLoadNotices& notices) {
    Loader(work, fileName, lines, notices).Run();
}

} // namespace hk::detail
