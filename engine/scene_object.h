// TGLBaseSceneObject: the scene-graph node every primitive, camera and light derives from. It
// owns its children, coordinates, behaviours and effects, caches its object, world and inverse
// world matrices under change flags, answers bounding queries, and draws itself and its
// children during a scene walk.
#pragma once

#include "engine/component.h"
#include "engine/coordinates.h"
#include "engine/flags.h"
#include "engine/list_handle.h"
#include "engine/render_context_info.h"
#include "engine/vector_types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace hk {

class TGLScene;
class TGLBehaviours;

// Counts the changes made to scene objects anywhere in the process: structure, transforms,
// children, destruction and everything an object reports as a change. A reader that finds the
// count unchanged knows that no object it read has changed since, as long as objects report
// their changes, as every primitive's setters do through StructureChanged.
std::uint64_t SceneEditCount();
// Counts one change; for state outside the scene objects that readers of them also take.
void NoteSceneEdit();

class TGLMergedChildren;
class TGLObjectEffects;

enum TGLObjectStyle { osDirectDraw, osIgnoreDepthBuffer, osNoVisibilityCulling };
using TGLObjectStyles = TFlags<TGLObjectStyle>;

// The coarsest level of detail an object may draw at; level 0 is its full geometry.
inline constexpr int cMaxDetailLevel = 3;

// Transformation dirty, world matrix dirty, inverse dirty, structure (display list) dirty.
enum TGLObjectChange { ocTransformation, ocAbsoluteMatrix, ocInvAbsoluteMatrix, ocStructure };
using TGLObjectChanges = TFlags<TGLObjectChange>;

struct TProgressTimes {
    double deltaTime = 0;
    double newTime = 0;
};

class TGLBaseSceneObject : public TGLComponent {
public:
    using TProgressEvent =
        std::function<void(TGLBaseSceneObject*, double deltaTime, double newTime)>;

    TGLBaseSceneObject();
    ~TGLBaseSceneObject() override;

    // ---- tree ----------------------------------------------------------------------------
    TGLBaseSceneObject* Parent() const { return parent_; }
    TGLScene* Scene() const { return scene_; }
    int Count() const { return int(children_.size()); }
    // None when the index is out of range.
    TGLBaseSceneObject* Children(int index) const;
    // Position among the parent's children; -1 without a parent.
    int Index() const;
    bool HasSubChildren() const;

    // Appends and owns `child`: registers its lights with this object's scene, gives its
    // subtree this scene and marks both transforms changed. Returns the child.
    TGLBaseSceneObject* AppendChild(std::unique_ptr<TGLBaseSceneObject> child);
    template <class T> T* AppendChild(std::unique_ptr<T> child) {
        T* raw = child.get();
        AppendChild(std::unique_ptr<TGLBaseSceneObject>(std::move(child)));
        return raw;
    }
    // Constructs a T and appends it: the way the viewer creates every object.
    template <class T, class... Args> T* CreateChild(Args&&... args) {
        return AppendChild(std::make_unique<T>(std::forward<Args>(args)...));
    }
    // Like AppendChild at `index` (clamped to [0, Count()]).
    TGLBaseSceneObject* Insert(int index, std::unique_ptr<TGLBaseSceneObject> child);
    // Detaches a direct child (none otherwise) and hands its ownership to the caller. With
    // keepChildren its children move up to this object; the detached object leaves the scene.
    std::unique_ptr<TGLBaseSceneObject> RemoveChild(TGLBaseSceneObject* child, bool keepChildren);
    // Moves this object under `newParent` (at the end), keeping it alive.
    void MoveTo(TGLBaseSceneObject* newParent);
    // Frees descendant cameras first, unregisters descendant lights, then frees every child.
    void FreeChildren();
    // Moves this object to `index` (clamped) among its parent's children.
    void SetChildIndex(int index);

    // ---- properties ----------------------------------------------------------------------
    TGLCoordinates& Position() { return position_; }
    const TGLCoordinates& Position() const { return position_; }
    TGLCoordinates& Direction() { return direction_; }
    const TGLCoordinates& Direction() const { return direction_; }
    TGLCoordinates& Up() { return up_; }
    const TGLCoordinates& Up() const { return up_; }
    TGLCoordinates& Scale() { return scale_; }
    const TGLCoordinates& Scale() const { return scale_; }
    // x = pitch, y = turn, z = roll, degrees. Setting it as a whole applies all three angles.
    TGLCoordinates& Rotation() { return rotation_; }
    const TGLCoordinates& Rotation() const { return rotation_; }
    void SetPosition(const TVector& v) { position_.SetAsVector(v); }
    // A null vector is ignored.
    void SetDirection(const TVector& v);
    void SetUp(const TVector& v) { up_.SetAsVector(v); }
    void SetScale(const TVector& v) { scale_.SetAsVector(v); }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    bool ShowAxes() const { return showAxes_; }
    void SetShowAxes(bool v);
    TGLObjectStyles ObjectStyle() const { return objectStyle_; }
    void SetObjectStyle(TGLObjectStyles s) { objectStyle_ = s; }
    TGLObjectsSorting ObjectsSorting() const { return objectsSorting_; }
    void SetObjectsSorting(TGLObjectsSorting v);
    TGLVisibilityCulling VisibilityCulling() const { return visibilityCulling_; }
    void SetVisibilityCulling(TGLVisibilityCulling v);
    const TGLObjectChanges& Changes() const { return changes_; }

    // Incremental: the object turns by (new - old) about Direction x Up (pitch), Up (turn) or
    // Direction (roll); the stored angle is reduced into [-180, 180]. Order matters.
    float PitchAngle() const { return rotation_.X(); }
    float TurnAngle() const { return rotation_.Y(); }
    float RollAngle() const { return rotation_.Z(); }
    void SetPitchAngle(float degrees);
    void SetTurnAngle(float degrees);
    void SetRollAngle(float degrees);

    // Created on first access.
    TGLBehaviours& Behaviours();
    bool HasBehaviours() const { return behaviours_ != nullptr; }
    TGLObjectEffects& Effects();
    bool HasEffects() const { return effects_ != nullptr; }
    TProgressEvent OnProgress;

    // ---- matrices ------------------------------------------------------------------------
    // Rows (Up x Direction)*Scale.x, Up*Scale.y, Direction*Scale.z, Position.
    const TMatrix& ObjectMatrix();
    // ObjectMatrix x parent's WorldMatrix (just ObjectMatrix under none or a scene root).
    const TMatrix& WorldMatrix();
    const TMatrix& InverseWorldMatrix();
    // Starts fetching the cached world and inverse world matrices into the processor's caches,
    // for a caller about to read many objects' matrices in turn; nothing when none are cached.
    void PrefetchWorldMatrices() const;
    // Direction := unit row 2, Up := unit row 1, Scale := row lengths, Position := row 3.
    void SetMatrix(const TMatrix& m);
    TVector WorldPosition();
    TVector WorldDirection();
    TVector WorldUp();
    TVector ObjectToWorld(const TVector& v);
    TVector WorldToObject(const TVector& v);
    // Points: row 3 added.
    TAffineVector ObjectToWorldPoint(const TAffineVector& p);
    TAffineVector WorldToObjectPoint(const TAffineVector& p);
    float SquaredDistanceTo(const TVector& worldPoint);
    // Marks this transform and every descendant world matrix dirty and reports a change;
    // nothing when the transform is already dirty.
    void NotifyTransformChanged();
    // Marks the display list for recompilation and reports a change.
    void StructureChanged();
    // Changes with every StructureChanged; no two objects ever share a value.
    std::uint64_t StructureVersion() const { return structureVersion_; }
    void ClearStructureChanged() { changes_.Exclude(ocStructure); }

    // ---- navigation ----------------------------------------------------------------------
    // Turns the object about the world X, Y, then Z axes (degrees; zero angles skipped).
    void RotateAboutAbsoluteAxes(float rx, float ry, float rz);
    // Moves the object on a sphere around `target` (degrees); the angle from Up is kept
    // within [0.025, pi - 0.025] rad. Direction and Up are not touched.
    void OrbitAround(TGLBaseSceneObject* target, float pitchDelta, float turnDelta);

    // ---- bounding ------------------------------------------------------------------------
    virtual TVector UnscaledBoxExtents();
    TVector BoxExtents();
    float BoundingRadius();
    float UnscaledBoundingRadius();
    TAABB UnscaledHierarchyBox();
    TAABB HierarchyBox();
    virtual TVector BarycenterPosition() { return WorldPosition(); }
    virtual bool ContainsPoint(const TVector& worldPoint);
    // Against the bounding sphere; the first hit and its outward normal. The ray vector need
    // not be unit length.
    virtual bool RayHit(const TVector& rayStart, const TVector& rayVector,
                        TVector* hitPoint = nullptr, TVector* hitNormal = nullptr);

    // ---- kinds, used by the scene for camera and light bookkeeping -------------------------
    virtual bool IsCamera() const { return false; }
    virtual bool IsLightSource() const { return false; }
    virtual bool IsBlended() { return false; }

    // ---- update, time ----------------------------------------------------------------------
    virtual void BeginUpdate() { ++updateCount_; }
    // Reports one change when the outermost bracket closes.
    virtual void EndUpdate();
    bool IsUpdating() const { return updateCount_ > 0; }
    // Children, then behaviours, then effects, then OnProgress.
    virtual void AdvanceTime(const TProgressTimes& times);
    // Forwards the change to the scene unless updating or loading.
    virtual void ReportChange();
    // Owned sub-objects (materials, colours, nodes) report here: ReportChange.
    void NotifyChange(TGLNotifiable*) override { ReportChange(); }
    // Coordinates report here: Direction/Up re-orthogonalise, rotation re-applies the angles,
    // every change dirties the transform.
    virtual void VectorPropertyChanged(TGLCoordinates* sender);

    // ---- drawing ---------------------------------------------------------------------------
    // Geometry in object space at rci.detailLevel; compiled into the display list of that
    // level. Default: nothing.
    virtual void EmitGeometry(TRenderContextInfo& rci);
    // The compiled list of rci.detailLevel, rebuilt when the structure changed (every level
    // is compiled on first use). Needs a current context.
    unsigned DisplayListFor(TRenderContextInfo& rci);
    // The box in object units that holds everything EmitGeometry draws, or none when the
    // object cannot tell. While rendering, an object whose box lies outside the view is not
    // drawn (its children still are); without a box it is always drawn.
    virtual std::optional<TAABB> GeometryBox() { return std::nullopt; }
    // The level of detail (0 to cMaxDetailLevel) at which the object looks the same as in
    // full detail when one of its units covers `pixelsPerUnit` screen pixels. Rendering asks
    // it with the pixels at the nearest corner of GeometryBox; picking always draws level 0.
    // Default: 0.
    virtual int DetailLevelFor(float /*pixelsPerUnit*/) { return 0; }
    // True when EmitGeometry sends all it draws, triangles only, through GeometrySinkOf(rci)
    // and touches no other OpenGL state, so that its geometry can be recorded. Default: false.
    virtual bool RecordsGeometry() { return false; }
    // While on, rendering walks draw the recordable solids among the children merged by
    // material (see TGLMergedChildren); picking still draws every child on its own.
    bool MergeChildren() const { return merged_ != nullptr; }
    void SetMergeChildren(bool on);
    // None while merging is off.
    const TGLMergedChildren* MergedChildren() const { return merged_.get(); }
    // The rendering walk's decision for this object itself: drawn or culled (the scene's
    // visibility culling, then GeometryBox against the view), and the level of detail it is
    // drawn at, kept for DrawGeometry and readable through FrameDetailLevel.
    bool ChooseFrameDetail(const TRenderContextInfo& rci);
    int FrameDetailLevel() const { return frameDetailLevel_; }
    // Culling, matrix push, name, axes, effects, DrawSelfAndChildren, matrix pop.
    void RenderObject(TRenderContextInfo& rci);
    virtual void DrawSelfAndChildren(TRenderContextInfo& rci, bool renderSelf, bool renderChildren);
    void RenderChildRange(int first, int last, TRenderContextInfo& rci);
    // The visible children of [first, last] in the order `sorting` draws them.
    std::vector<TGLBaseSceneObject*> ChildrenInDrawOrder(int first, int last,
                                                         TGLObjectsSorting sorting,
                                                         const TVector& cameraPosition);
    // Frees the display lists of the subtree (the context they live in must be current).
    virtual void DestroyHandles();

protected:
    // Draws the display list, or the geometry directly for direct-draw objects or when the
    // walk bypasses lists.
    void DrawGeometry(TRenderContextInfo& rci);
    void DrawAxes(TRenderContextInfo& rci);

private:
    struct TScreenExtent {
        bool outside = false;    // wholly outside the view
        float pixelsPerUnit = 0; // at the nearest point; 0 when the camera is within reach
    };
    // Where GeometryBox lies on screen in a rendering walk; none without a box.
    std::optional<TScreenExtent> ScreenExtent(const TRenderContextInfo& rci);
    // The level of detail of an object with that extent (0 without one).
    int DetailLevel(const std::optional<TScreenExtent>& extent);
    // The scene's visibility culling mode for this object itself.
    bool PassesVisibilityCulling(const TRenderContextInfo& rci);
    TGLListHandle& ListOfLevel(int level);
    void DestroyLists();
    friend class TGLScene;
    friend class TGLSceneRootObject;
    friend class TGLMergedChildren;
    bool HasTransformingParent() const;
    void SetSceneOfSubtree(TGLScene* scene);
    void RegisterLightsOfSubtree(TGLScene* scene);
    // Drops the scene's weak references to every descendant.
    void ForgetSubtreeIn(TGLScene* scene);
    void UnregisterLightsOfSubtree(TGLScene* scene);
    void FreeDescendantCameras();
    void MarkWorldDirtyInSubtree();
    void RebuildMatrix();
    void EnsureWorldMatrices();
    void ApplyRotationAngles();
    void TurnByAngle(int axisIndex, float newDegrees);
    void DirectionChanged();
    void UpChanged();
    std::unique_ptr<TGLBaseSceneObject> Detach(int index);

    TGLObjectStyles objectStyle_;
    TGLListHandle listHandle_;
    // The lists of the coarser levels, made when one is first drawn.
    std::unique_ptr<std::array<TGLListHandle, cMaxDetailLevel>> coarseLists_;
    // Bit k: the list of level k holds the current geometry.
    std::uint8_t compiledLevels_ = 0;
    // The level RenderObject chose for this object in the current rendering walk.
    std::int8_t frameDetailLevel_ = 0;
    // Set while the parent's merged draw has taken care of this object in the current walk.
    bool drawnMerged_ = false;
    std::uint64_t structureVersion_;
    std::unique_ptr<TGLMergedChildren> merged_;
    std::unique_ptr<std::pair<TMatrix, TMatrix>> worldMatrices_; // world, inverse world
    TMatrix objectMatrix_ = IdentityHmgMatrix;
    TGLObjectChanges changes_{ocTransformation, ocAbsoluteMatrix, ocInvAbsoluteMatrix, ocStructure};
    TGLBaseSceneObject* parent_ = nullptr;
    TGLScene* scene_ = nullptr;
    // Set by the scene's roots, whose matrices do not carry over to their children; a flag
    // instead of a type test, since every world-matrix rebuild asks it.
    bool isSceneRoot_ = false;
    std::vector<std::unique_ptr<TGLBaseSceneObject>> children_;
    int updateCount_ = 0;
    TGLCoordinates position_;
    TGLCoordinates rotation_;
    TGLCoordinates direction_;
    TGLCoordinates up_;
    TGLCoordinates scale_;
    bool visible_ = true;
    bool showAxes_ = false;
    TGLObjectsSorting objectsSorting_ = osInherited;
    TGLVisibilityCulling visibilityCulling_ = vcInherited;
    std::unique_ptr<TGLBehaviours> behaviours_;
    std::unique_ptr<TGLObjectEffects> effects_;
    bool isCalculating_ = false;
};

// A scene object without a material (dummy cubes, cameras, lights).
class TGLImmaterialSceneObject : public TGLBaseSceneObject {};

} // namespace hk
