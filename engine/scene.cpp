// The scene's bookkeeping: trees, lights, buffers and change forwarding.
#include "engine/scene.h"

#include "engine/scene_buffer_client.h"

#include <algorithm>

namespace hk {

TGLSceneRootObject::TGLSceneRootObject(TGLScene* scene) {
    isSceneRoot_ = true;
    SetObjectStyle({osDirectDraw});
    SetSceneOfSubtree(scene);
}

TGLScene::TGLScene()
    : objects_(std::make_unique<TGLSceneRootObject>(this)),
      cameras_(std::make_unique<TGLSceneRootObject>(this)) {
    objects_->SetName("ObjectRoot");
    cameras_->SetName("CameraRoot");
}

TGLScene::~TGLScene() {
    NotifyFreeing();
    std::vector<TGLSceneBufferClient*> buffers;
    buffers.swap(buffers_);
    for (TGLSceneBufferClient* b : buffers) {
        b->SceneDestroyed(this);
    }
    cameras_.reset();
    objects_.reset();
}

void TGLScene::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        NotifyChange(this);
    }
}

void TGLScene::NotifyChange(TGLNotifiable*) {
    if (updateCount_ > 0 || IsLoading() || IsDestroying()) {
        return;
    }
    // A buffer may unregister while being told, so work from a copy.
    std::vector<TGLSceneBufferClient*> buffers = buffers_;
    for (TGLSceneBufferClient* b : buffers) {
        b->NotifySceneChanged();
    }
}

void TGLScene::AddBuffer(TGLSceneBufferClient* buffer) {
    if (buffer != nullptr &&
        std::find(buffers_.begin(), buffers_.end(), buffer) == buffers_.end()) {
        buffers_.push_back(buffer);
    }
}

void TGLScene::RemoveBuffer(TGLSceneBufferClient* buffer) {
    buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
}

int TGLScene::AddLight(TGLBaseSceneObject* light) {
    int slot = LightSlotOf(light);
    if (slot >= 0 || light == nullptr) {
        return slot;
    }
    for (int i = 0; i < cMaxLightSlots; ++i) {
        if (lights_[i] == nullptr) {
            lights_[i] = light;
            return i;
        }
    }
    return -1;
}

void TGLScene::RemoveLight(TGLBaseSceneObject* light) {
    for (auto& l : lights_) {
        if (l == light) {
            l = nullptr;
        }
    }
}

int TGLScene::LightSlotOf(const TGLBaseSceneObject* light) const {
    for (int i = 0; i < cMaxLightSlots; ++i) {
        if (light != nullptr && lights_[i] == light) {
            return i;
        }
    }
    return -1;
}

void TGLScene::SetObjectsSorting(TGLObjectsSorting v) {
    if (v != objectsSorting_) {
        objectsSorting_ = v;
        NotifyChange(this);
    }
}

void TGLScene::SetVisibilityCulling(TGLVisibilityCulling v) {
    if (v != visibilityCulling_) {
        visibilityCulling_ = v;
        NotifyChange(this);
    }
}

void TGLScene::Progress(double deltaTime, double newTime) {
    TProgressTimes t{deltaTime, newTime};
    objects_->AdvanceTime(t);
    cameras_->AdvanceTime(t);
}

void TGLScene::DestroyHandles() {
    objects_->DestroyHandles();
    cameras_->DestroyHandles();
}

void TGLScene::ObjectDestroyed(TGLBaseSceneObject* obj) {
    RemoveLight(obj);
    if (currentCamera_ == obj) {
        currentCamera_ = nullptr;
    }
    if (renderingObject_ == obj) {
        renderingObject_ = nullptr;
    }
}

} // namespace hk
