// TGLScene: owns the object tree ("ObjectRoot") and the camera tree ("CameraRoot"), keeps the
// eight light slots and the buffers that view it, and forwards every change to those buffers.
#pragma once

#include "engine/component.h"
#include "engine/render_context_info.h"
#include "engine/scene_object.h"

#include <array>
#include <memory>
#include <vector>

namespace hk {

class TGLSceneBufferClient;

inline constexpr int cMaxLightSlots = 8;

// A direct-draw node whose scene is set at creation; world matrices ignore it.
class TGLSceneRootObject : public TGLImmaterialSceneObject {
public:
    explicit TGLSceneRootObject(TGLScene* scene);
};

class TGLScene : public TGLComponent {
public:
    TGLScene();
    // Tells every buffer first, then frees both trees.
    ~TGLScene() override;

    TGLSceneRootObject& Objects() { return *objects_; }
    TGLSceneRootObject& Cameras() { return *cameras_; }

    // ---- change notification --------------------------------------------------------------
    void BeginUpdate() { ++updateCount_; }
    // At 0, every buffer is told about the change.
    void EndUpdate();
    bool IsUpdating() const { return updateCount_ > 0; }
    // Forwards to every buffer unless updating, loading or destroying.
    void NotifyChange(TGLNotifiable* sender) override;
    void AddBuffer(TGLSceneBufferClient* buffer);
    void RemoveBuffer(TGLSceneBufferClient* buffer);
    const std::vector<TGLSceneBufferClient*>& Buffers() const { return buffers_; }

    // ---- lights ---------------------------------------------------------------------------
    // Puts the light into the first free slot; returns the slot, or -1 when all eight are
    // taken (the light then gets no unit). A light already present keeps its slot.
    int AddLight(TGLBaseSceneObject* light);
    void RemoveLight(TGLBaseSceneObject* light);
    const std::array<TGLBaseSceneObject*, cMaxLightSlots>& Lights() const { return lights_; }
    int LightSlotOf(const TGLBaseSceneObject* light) const;

    // ---- walk state -------------------------------------------------------------------------
    TGLBaseSceneObject* CurrentCamera() const { return currentCamera_; }
    void SetCurrentCamera(TGLBaseSceneObject* camera) { currentCamera_ = camera; }
    TGLBaseSceneObject* CurrentRenderingObject() const { return renderingObject_; }
    void SetCurrentRenderingObject(TGLBaseSceneObject* obj) { renderingObject_ = obj; }
    TGLObjectsSorting ObjectsSorting() const { return objectsSorting_; }
    void SetObjectsSorting(TGLObjectsSorting v);
    TGLVisibilityCulling VisibilityCulling() const { return visibilityCulling_; }
    void SetVisibilityCulling(TGLVisibilityCulling v);

    // Advances every object (children, behaviours, effects, OnProgress).
    void Progress(double deltaTime, double newTime);
    // Frees the display lists of both trees (with the owning context current).
    void DestroyHandles();

    // Called by a scene object that is going away: every weak reference to it is dropped.
    void ObjectDestroyed(TGLBaseSceneObject* obj);

private:
    std::unique_ptr<TGLSceneRootObject> objects_;
    std::unique_ptr<TGLSceneRootObject> cameras_;
    std::array<TGLBaseSceneObject*, cMaxLightSlots> lights_{};
    std::vector<TGLSceneBufferClient*> buffers_;
    TGLBaseSceneObject* currentCamera_ = nullptr;
    TGLBaseSceneObject* renderingObject_ = nullptr;
    int updateCount_ = 0;
    TGLObjectsSorting objectsSorting_ = osRenderBlendedLast;
    TGLVisibilityCulling visibilityCulling_ = vcNone;
};

} // namespace hk
