// Scene construction from the item tables.
#include "app/scene_builder.h"

#include "app/data_file.h"
#include "app/heap_policy.h"
#include "app/hkgeom.h"
#include "app/sjis.h"
#include "app/viewer_scene.h"
#include "collision/collision_behaviour.h"
#include "engine/vector_geometry.h"
#include "primitives/mesh/free_form.h"
#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/disk.h"
#include "primitives/quadrics/torus.h"
#include "primitives/shapes/cube.h"
#include "primitives/shapes/dummy_cube.h"
#include "primitives/shapes/lines.h"
#include "primitives/shapes/points.h"
#include "primitives/shapes/polygon.h"
#include "primitives/text/space_text.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace hk {
namespace {

constexpr float cDefaultRadius = 0.005f;
constexpr float cDefaultInnerRadius = 0.004f;
constexpr int cShiftJisCharset = 128;
// "ＭＳ Ｐゴシック" in Shift-JIS.
constexpr const char* cCaptionFontName =
    "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

struct TScenePoint {
    float x, y, z;
};

// Everything one build needs: the tables, the scene and where messages go.
class TBuilder {
public:
    TBuilder(TDocument& doc, TViewerScene& scene, TMessageLog& log,
             const std::filesystem::path& programFolder)
        : doc_(doc), scene_(scene), root_(*scene.GLDummyCube1), log_(log),
          programFolder_(programFolder) {}

    void Run() {
        BuildLines();
        BuildPolylinesAndFaces();
        BuildArcs();
        BuildRanges();
        BuildDimensions();
        BuildTori();
        BuildPipes();
        BuildModels();
        BuildPoints();
    }

private:
    // The group of an item when it is switched on; none for a group that is off or unknown.
    const GroupEntry* ShownGroup(int group) const {
        if (group < 1 || group > doc_.GroupTable.Count())
            return nullptr;
        const GroupEntry& g = doc_.GroupTable[group];
        return g.onoff != 0 ? &g : nullptr;
    }

    float Map(int axis, double v) const { return MapCoordinate(doc_, axis, v); }
    TScenePoint Map(double x, double y, double z) const {
        return {Map(0, x), Map(1, y), Map(2, z)};
    }
    float Length(double v) const { return float(v / Scale()); }
    double Scale() const { return doc_.loadScale; }

    static TColorVector GroupColour(const GroupEntry& g, float alpha) {
        return {g.Red / 256.0f, g.Green / 256.0f, g.Blue / 256.0f, alpha};
    }
    static void SetGroupColour(TGLColor& colour, const GroupEntry& g) {
        colour.SetColor(GroupColour(g, colour.Alpha()));
    }

    void ApplyGroupMaterial(TGLMaterial& material, const GroupEntry& g) {
        switch (g.colourMode) {
        case 0:
            material.SetMaterialLibrary(&scene_.GLMaterialLibrary1);
            material.SetLibMaterialName("MatSurface");
            break;
        case 1:
            SetGroupColour(material.FrontProperties().Diffuse(), g);
            break;
        case 2:
            material.SetMaterialLibrary(&scene_.GLMaterialLibrary1);
            material.SetLibMaterialName(g.materialName.str());
            break;
        default:
            break;
        }
    }

    // Codes 1 to 5 select the bounding modes cbmPoint to cbmFaces; others attach nothing.
    void AttachCollision(TGLBaseSceneObject& object, int code) {
        if (code < 1 || code > cBoundingModeCount)
            return;
        auto* behaviour = object.Behaviours().Create<TGLBCollision>();
        behaviour->SetManager(&scene_.CollisionManager1);
        behaviour->SetBoundingMode(TCollisionBoundingMode(code - 1));
    }

    // Position at the mapped midpoint; roll, pitch and height along the segment.
    template <class T>
    void PlaceAlong(T& object, double x1, double y1, double z1, double x2, double y2, double z2) {
        const TScenePoint mid = Map((x1 + x2) / 2, (y1 + y2) / 2, (z1 + z2) / 2);
        object.Position().SetPoint(mid.x, mid.y, mid.z);
        object.SetRollAngle(float(RadToDeg(VectorAngle(x2 - x1, y2 - y1)) - 90));
        object.SetPitchAngle(float(RadToDeg(VectorAngle(y2 - y1, z2 - z1))));
        const double dx = x2 - x1, dy = y2 - y1, dz = z2 - z1;
        object.SetHeight(float(std::sqrt(dx * dx + dy * dy + dz * dz) / Scale()));
    }

    TGLLines* NewLines(const GroupEntry& g, int tag) {
        auto* lines = root_.CreateChild<TGLLines>();
        lines->SetTag(tag);
        SetGroupColour(lines->LineColor(), g);
        lines->SetNodesAspect(lnaInvisible);
        return lines;
    }

    // A dimension's line object: tagged with the dimension's index and listed as such.
    TGLLines* NewDimensionLines(const GroupEntry& g, int index) {
        TGLLines* lines = NewLines(g, index);
        scene_.DimensionLines.insert(lines);
        return lines;
    }

    template <class T> static void AddMapped(T& object, const TScenePoint& p) {
        object.AddNode(p.x, p.y, p.z);
    }

    void BuildLines() {
        for (const LineItem& line : doc_.LineTable) {
            const GroupEntry* g = ShownGroup(line.group);
            if (!g)
                continue;
            if (TrimName(line.dddname).empty()) {
                TGLLines* lines = NewLines(*g, line.lineNo);
                AddMapped(*lines, Map(line.x1, line.y1, line.z1));
                AddMapped(*lines, Map(line.x2, line.y2, line.z2));
                continue;
            }
            auto* cylinder = root_.CreateChild<TGLCylinder>();
            cylinder->SetTag(line.lineNo);
            const float radius = line.ddd > 0 ? Length(line.ddd) : cDefaultRadius;
            cylinder->SetBottomRadius(radius);
            cylinder->SetTopRadius(radius);
            PlaceAlong(*cylinder, line.x1, line.y1, line.z1, line.x2, line.y2, line.z2);
            ApplyGroupMaterial(cylinder->Material(), *g);
            if (line.visible != 0)
                AttachCollision(*cylinder, line.code);
        }
    }

    static bool IsTubeVertex(const PolyVertex& v) {
        return v.kind == ikPolyline && !TrimName(v.dddname).empty();
    }
    static bool IsLineVertex(const PolyVertex& v) {
        return v.kind == ikPolyline && TrimName(v.dddname).empty();
    }

    // The vertex at index of PolyTable when it belongs to the figure of the tube vertex at
    // `at`: the one before it always does unless it is of another kind or mode; the one after
    // it only when it does not start a figure of its own.
    const PolyVertex* FigureNeighbour(int index, int at) const {
        if (index < 1 || index > doc_.PolyTable.Count())
            return nullptr;
        const PolyVertex& v = doc_.PolyTable[index];
        if (!IsTubeVertex(v) || (index > at && v.seq == 1))
            return nullptr;
        return &v;
    }

    // The nodes of a rounded corner at vertex i: arc points every 10 degrees.
    void AddFillet(TGLPipe& tube, int i) {
        const PolyVertex& v = doc_.PolyTable[i];
        const PolyVertex* before = FigureNeighbour(i - 1, i);
        const PolyVertex* after = FigureNeighbour(i + 1, i);
        if (!before || !after) {
            AddMapped(tube, Map(v.x, v.y, v.z));
            return;
        }
        const TPoint2D p0{before->x, before->y};
        const TPoint2D p1{v.x, v.y};
        const TPoint2D p2{after->x, after->y};
        const double r = std::hypot(p1.x - p0.x, p1.y - p0.y);
        const TFilletArc arc = FilletArc(r, p0, p1, p2);
        if (arc.error == cGeomShortSegment)
            return;
        if (arc.error != cGeomOk) {
            AddMapped(tube, Map(v.x, v.y, v.z));
            return;
        }
        double end = arc.endAngle;
        if (arc.startAngle > end)
            end += 360;
        // The arc runs counter-clockwise from start to end; on a right turn the path meets the
        // end first, so the nodes go from end to start to keep the tube from doubling back.
        const long first = std::lrint(arc.startAngle);
        const long last = std::lrint(end);
        const long step = arc.leftTurn ? 1 : -1;
        for (long g = arc.leftTurn ? first : last; g >= first && g <= last; g += step) {
            if (g % 10 != 0)
                continue;
            const double a = double(g) * cPI / 180;
            AddMapped(tube,
                      Map(arc.centre.x + r * std::cos(a), arc.centre.y + r * std::sin(a), v.z));
        }
    }

    void BuildPolylinesAndFaces() {
        TGLPolygon* face = nullptr;
        TGLPipe* tube = nullptr;
        std::vector<TGLPipe*> tubes;
        TGLLines* line = nullptr;
        for (int i = 1; i <= doc_.PolyTable.Count(); ++i) {
            const PolyVertex& v = doc_.PolyTable[i];
            const bool starts = v.seq == 1;
            const GroupEntry* g = ShownGroup(v.group);
            if (v.kind == ikFace) {
                if (starts)
                    face = g ? NewFace(v, *g) : nullptr;
                if (g && face)
                    AddMapped(*face, Map(v.x, v.y, v.z));
            } else if (IsTubeVertex(v)) {
                if (starts) {
                    tube = g ? NewTube(v, *g) : nullptr;
                    if (tube) {
                        tubes.push_back(tube);
                        AddMapped(*tube, Map(v.x, v.y, v.z));
                    }
                } else if (g && tube) {
                    if (!v.label.empty() && v.label.str()[0] == 'R')
                        AddFillet(*tube, i);
                    else
                        AddMapped(*tube, Map(v.x, v.y, v.z));
                }
            } else if (IsLineVertex(v)) {
                if (starts) {
                    line = g ? NewLines(*g, v.lineNo) : nullptr;
                    if (line)
                        line->SetVisible(v.visible != 0);
                }
                if (g && line)
                    AddMapped(*line, Map(v.x, v.y, v.z));
            }
        }
        for (TGLPipe* built : tubes)
            CentreOnNodes(*built);
    }

    // Moves the tube to the centre of its nodes' box and its nodes around it, so that its box
    // about its own origin, which collision and framing use, is as tight as the tube.
    static void CentreOnNodes(TGLPipe& tube) {
        TGLNodes& nodes = tube.Nodes();
        if (nodes.Count() == 0)
            return;
        TAffineVector low = nodes[0].AsVector().Affine();
        TAffineVector high = low;
        for (int i = 1; i < nodes.Count(); ++i) {
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], nodes[i].AsVector()[k]);
                high[k] = std::max(high[k], nodes[i].AsVector()[k]);
            }
        }
        const TAffineVector centre = VectorScale(VectorAdd(low, high), 0.5f);
        tube.BeginUpdate();
        for (int i = 0; i < nodes.Count(); ++i)
            nodes[i].SetAsAffineVector(VectorSubtract(nodes[i].AsVector().Affine(), centre));
        tube.Position().SetPoint(centre.x, centre.y, centre.z);
        tube.EndUpdate();
    }

    TGLPolygon* NewFace(const PolyVertex& v, const GroupEntry& g) {
        auto* face = root_.CreateChild<TGLPolygon>();
        face->SetTag(v.lineNo);
        ApplyGroupMaterial(face->Material(), g);
        face->SetParts(TPolygonParts{ppTop});
        face->SetVisible(v.visible != 0);
        return face;
    }

    TGLPipe* NewTube(const PolyVertex& v, const GroupEntry& g) {
        auto* tube = root_.CreateChild<TGLPipe>();
        tube->SetTag(v.lineNo);
        tube->SetVisible(v.visible != 0);
        tube->SetRadius(Length(v.ddd));
        ApplyGroupMaterial(tube->Material(), g);
        if (v.visible != 0)
            AttachCollision(*tube, v.code);
        return tube;
    }

    void BuildArcs() {
        for (const ArcItem& arc : doc_.ArcTable) {
            if (!ShownGroup(arc.group))
                continue;
            const auto& p = arc.p;
            auto* disk = root_.CreateChild<TGLDisk>();
            disk->SetTag(arc.lineNo);
            const TScenePoint c = Map(p[1], p[2], p[3]);
            disk->Position().SetPoint(c.x, c.y, c.z);
            const float outer = Length(p[4]);
            disk->SetOuterRadius(outer);
            disk->SetInnerRadius(outer - 0.01f);
            disk->SetRollAngle(float(RadToDeg(VectorAngle(p[5] - p[1], p[6] - p[2])) - 90));
            disk->SetPitchAngle(float(RadToDeg(VectorAngle(p[6] - p[2], p[7] - p[3]))));
            disk->SetVisible(arc.visible != 0);
        }
    }

    void BuildRanges() {
        for (const RangeItem& range : doc_.RangeTable) {
            if (!ShownGroup(range.group))
                continue;
            AddRangeBox(range, 1, true);
            AddRangeBox(range, 7, false);
        }
    }

    // The box r[first..first+5] (min x, y, z, max x, y, z) unless it has no extent at all.
    void AddRangeBox(const RangeItem& range, int first, bool isFirstBox) {
        const auto& r = range.r;
        const double ex = r[first + 3] - r[first];
        const double ey = r[first + 4] - r[first + 1];
        const double ez = r[first + 5] - r[first + 2];
        if (ex == 0 && ey == 0 && ez == 0)
            return;
        auto* cube = root_.CreateChild<TGLCube>();
        cube->SetTag(range.lineNo);
        const TScenePoint c = Map((r[first] + r[first + 3]) / 2, (r[first + 1] + r[first + 4]) / 2,
                                  (r[first + 2] + r[first + 5]) / 2);
        cube->Position().SetPoint(c.x, c.y, c.z);
        cube->Scale().SetVector(Length(ex), Length(ey), Length(ez));
        cube->Material().SetBlendingMode(bmTransparency);
        TGLColor& diffuse = cube->Material().FrontProperties().Diffuse();
        if (isFirstBox) {
            diffuse.SetAlpha(0.2f);
            diffuse.SetBlue(1.0f);
        } else {
            diffuse.SetAlpha(0.8f);
        }
        cube->SetVisible(range.visible != 0);
    }

    TGLSpaceText* NewCaption(const std::string& text, const TScenePoint& at, float scale, int tag,
                             bool visible) {
        auto* caption = root_.CreateChild<TGLSpaceText>();
        caption->SetTag(tag);
        caption->SetText(text);
        caption->Position().SetPoint(at.x, at.y, at.z);
        caption->SetExtrusion(0.1f);
        caption->SetFontSize(9);
        caption->Scale().SetVector(scale, scale, scale);
        caption->SetFontCharset(cShiftJisCharset);
        caption->SetFontName(cCaptionFontName);
        caption->SetVisible(visible);
        return caption;
    }

    // The length caption of a dimension of kind 10 or 11, placed beside the line Pb-Pc.
    void AddLengthCaption(const DimensionItem& dim) {
        const auto& d = dim.d;
        const double dx = d[10] - d[7], dy = d[11] - d[8], dz = d[12] - d[9];
        const long length = std::lrint(std::sqrt(dx * dx + dy * dy + dz * dz));
        if (length <= 0)
            return;
        const std::string text = std::to_string(length);
        const double w = 70000.0 / Scale();
        const TPoint2D offset{-double(text.size()) * w * 0.5 * 1.25 * 0.5, 20000.0 / Scale()};
        const bool visible = dim.visible != 0;
        if (std::fabs(d[12] - d[9]) < 1.0e-7) {
            const double pitch = std::fabs(d[11] - d[8]) < 1.0e-7
                                     ? LineAngle({d[3], d[2]}, {d[9], d[8]}).degrees + 90
                                     : LineAngle({d[3], d[1]}, {d[9], d[7]}).degrees;
            const double roll = LineAngle({d[7], d[8]}, {d[10], d[11]}).degrees;
            const TPoint2D q = RotateOffset({(d[7] + d[10]) / 2, (d[8] + d[11]) / 2}, offset, roll);
            TGLSpaceText* caption =
                NewCaption(text, Map(q.x, q.y, d[9]), 0.4f, dim.lineNo, visible);
            caption->SetRollAngle(float(roll));
            caption->SetPitchAngle(float(pitch));
        } else if (std::fabs(d[10] - d[7]) < 1.0e-7) {
            const double v = LineAngle({d[1], d[2]}, {d[7], d[8]}).degrees;
            const double u = LineAngle({d[9], d[8]}, {d[12], d[11]}).degrees;
            const TPoint2D q = RotateOffset({(d[9] + d[12]) / 2, (d[8] + d[11]) / 2}, offset, u);
            TGLSpaceText* caption =
                NewCaption(text, Map(d[7], q.y, q.x), 0.4f, dim.lineNo, visible);
            caption->SetRollAngle(float(v + 180));
            caption->SetTurnAngle(float(u + 270));
            caption->SetPitchAngle(90);
        }
    }

    void BuildDimensions() {
        for (int index = 1; index <= doc_.DimensionTable.Count(); ++index) {
            const DimensionItem& dim = doc_.DimensionTable[index];
            const GroupEntry* g = ShownGroup(dim.group);
            if (!g)
                continue;
            const auto& d = dim.d;
            const TScenePoint pa = Map(d[1], d[2], d[3]), pd = Map(d[4], d[5], d[6]);
            const TScenePoint pb = Map(d[7], d[8], d[9]), pc = Map(d[10], d[11], d[12]);
            const bool visible = dim.visible != 0;
            if (dim.kind == 10 || dim.kind == 11) {
                TGLLines* lines = NewDimensionLines(*g, index);
                for (const TScenePoint& p : {pa, pb, pc, pd})
                    AddMapped(*lines, p);
                lines->SetVisible(visible);
                AddLengthCaption(dim);
            } else if (dim.kind == 14) {
                TGLLines* lines = NewDimensionLines(*g, index);
                for (const TScenePoint& p : {pd, pa, pb, pc})
                    AddMapped(*lines, p);
                lines->SetVisible(visible);
                const double z = d[9] >= d[12] ? d[9] : (d[9] + d[12]) / 2;
                NewCaption(dim.name.str(), Map(std::min(d[7], d[10]), std::min(d[8], d[11]), z),
                           0.2f, dim.lineNo, visible);
            }
        }
    }

    void BuildTori() {
        for (const TorusItem& torus : doc_.TorusTable) {
            const GroupEntry* g = ShownGroup(torus.group);
            if (!g)
                continue;
            auto* object = root_.CreateChild<TGLTorus>();
            object->SetTag(torus.lineNo);
            const TScenePoint c = Map(torus.x, torus.y, torus.z);
            object->Position().SetPoint(c.x, c.y, c.z);
            object->SetMajorRadius(Length(torus.major));
            object->SetMinorRadius(Length(torus.ddd));
            object->SetTurnAngle(torus.turn);
            object->SetPitchAngle(torus.pitch);
            ApplyGroupMaterial(object->Material(), *g);
            object->SetVisible(torus.visible != 0);
            if (torus.visible != 0)
                AttachCollision(*object, torus.code);
        }
    }

    void BuildPipes() {
        for (const PipeItem& pipe : doc_.PipeTable) {
            const GroupEntry* g = ShownGroup(pipe.group);
            if (!g)
                continue;
            auto* annulus = root_.CreateChild<TGLAnnulus>();
            annulus->SetTag(pipe.lineNo);
            const bool sized = pipe.ddd > 0;
            const float outer = sized ? Length(pipe.ddd) : cDefaultRadius;
            const float inner = sized ? Length(pipe.ddd2) : cDefaultInnerRadius;
            annulus->SetBottomRadius(outer);
            annulus->SetTopRadius(outer);
            annulus->SetBottomInnerRadius(inner);
            annulus->SetTopInnerRadius(inner);
            PlaceAlong(*annulus, pipe.x1, pipe.y1, pipe.z1, pipe.x2, pipe.y2, pipe.z2);
            ApplyGroupMaterial(annulus->Material(), *g);
            annulus->SetVisible(pipe.visible != 0);
            if (pipe.visible != 0)
                AttachCollision(*annulus, pipe.code);
        }
    }

    // A drawing and its models travel together: a relative name is found beside the data file
    // first, then in the program's folder, where older drawings kept their models. When it is
    // in neither, the place beside the data file is the one the error names.
    std::string ModelPath(const std::string& name) const {
        const std::filesystem::path path(name);
        if (name.empty() || path.is_absolute())
            return name;
        const std::filesystem::path besideData =
            std::filesystem::path(doc_.dataFileName).parent_path() / path;
        const std::filesystem::path inProgram = programFolder_ / path;
        std::error_code ec;
        if (!std::filesystem::exists(besideData, ec) && std::filesystem::exists(inProgram, ec))
            return inProgram.string();
        return besideData.string();
    }

    void BuildModels() {
        for (const ModelItem& model : doc_.ModelTable) {
            const GroupEntry* g = ShownGroup(model.group);
            if (!g)
                continue;
            auto mesh = std::make_unique<TGLFreeForm>();
            mesh->SetTag(model.lineNo);
            const TScenePoint c = Map(model.x, model.y, model.z);
            mesh->Position().SetPoint(c.x, c.y, c.z);
            mesh->Scale().SetVector(Length(model.sx), Length(model.sy), Length(model.sz));
            try {
                mesh->LoadFromFile(ModelPath(model.modelFile));
            } catch (const Exception& e) {
                // The model's name is table text, and the 3DS error quotes the path made of it.
                log_.AddNotice("3DS model \"" + SjisToUtf8(model.modelFile) + "\" of data line " +
                               std::to_string(model.lineNo) +
                               " cannot be read: " + SjisToUtf8(e.what()));
                continue;
            }
            ApplyGroupMaterial(mesh->Material(), *g);
            mesh->SetVisible(model.visible != 0);
            mesh->BuildOctree(3);
            TGLFreeForm* object = root_.AppendChild(std::move(mesh));
            if (model.visible != 0 && model.code != 1)
                AttachCollision(*object, model.code);
        }
    }

    void BuildPoints() {
        for (const PointItem& point : doc_.PointTable) {
            const GroupEntry* g = ShownGroup(point.group);
            if (!g)
                continue;
            auto* points = root_.CreateChild<TGLPoints>();
            points->SetTag(point.lineNo);
            const TScenePoint p = Map(point.x, point.y, point.z);
            points->Position().SetPoint(p.x, p.y, p.z);
            points->SetSize(point.ddd);
            points->SetVisible(point.visible != 0);
            // Points draw unlit in their own colour: the group colour takes the place of a
            // diffuse colour.
            points->Colors().Add(GroupColour(*g, 1));
            points->StructureChanged();
            if (point.visible != 0 && point.code == 1)
                AttachCollision(*points, point.code);
        }
    }

    TDocument& doc_;
    TViewerScene& scene_;
    TGLDummyCube& root_;
    TMessageLog& log_;
    const std::filesystem::path& programFolder_;
};

} // namespace

void SetSceneOffset(TDocument& doc) {
    const TSceneBounds& b = doc.SceneBounds;
    if (b.minX > b.maxX || b.minY > b.maxY || b.minZ > b.maxZ) {
        doc.sceneOffset = {0, 0, 0};
        return;
    }
    doc.sceneOffset = {(b.maxX - b.minX) / 2, (b.maxY - b.minY) / 2, (b.maxZ - b.minZ) / 2};
}

float MapCoordinate(const TDocument& doc, int axis, double v) {
    const long double scale = doc.loadScale != 0 ? doc.loadScale : cDefaultLoadScale;
    return float((static_cast<long double>(v) - doc.sceneOffset[std::size_t(axis)]) / scale);
}

void BuildScene(TDocument& doc, TViewerScene& scene, TMessageLog& log,
                const std::filesystem::path& programFolder) {
    if (doc.loadScale == 0)
        doc.loadScale = cDefaultLoadScale;
    SetSceneOffset(doc);
    // One change report for the whole rebuild instead of one per object.
    scene.GLScene1.BeginUpdate();
    scene.DimensionLines.clear();
    scene.GLDummyCube1->FreeChildren();
    TBuilder(doc, scene, log, programFolder).Run();
    scene.GLScene1.EndUpdate();
    scene.CollisionManager1.PreparePass();
    ReleaseFreeHeap();
}

int PickedDataLine(const TDocument& doc, const TViewerScene& scene,
                   const TGLBaseSceneObject& picked) {
    if (!scene.DimensionLines.contains(&picked))
        return picked.Tag();
    const int index = picked.Tag();
    return index >= 1 && index <= doc.DimensionTable.Count() ? doc.DimensionTable[index].lineNo : 0;
}

} // namespace hk
