// Small scene-object kinds shared by the engine tests: a camera-like object with a weak
// target, a light-like object, a blended object and a buffer that counts notifications.
#pragma once

#include "engine/scene.h"
#include "engine/scene_buffer_client.h"
#include "engine/scene_object.h"

namespace hk::test {

class FakeCamera : public TGLImmaterialSceneObject {
public:
    ~FakeCamera() override {
        NotifyFreeing();
        SetTarget(nullptr);
    }
    bool IsCamera() const override { return true; }
    TGLBaseSceneObject* Target() const { return target_; }
    void SetTarget(TGLBaseSceneObject* t) {
        if (t == target_) {
            return;
        }
        if (target_) {
            target_->RemoveFreeNotification(this);
        }
        target_ = t;
        if (target_) {
            target_->FreeNotification(this);
        }
    }

protected:
    void Notification(TGLComponent* c, TOperation op) override {
        if (op == opRemove && c == target_) {
            target_ = nullptr;
        }
    }

private:
    TGLBaseSceneObject* target_ = nullptr;
};

class FakeLight : public TGLImmaterialSceneObject {
public:
    bool IsLightSource() const override { return true; }
};

class BlendedObject : public TGLImmaterialSceneObject {
public:
    bool IsBlended() override { return true; }
};

class CountingBuffer final : public TGLSceneBufferClient {
public:
    void NotifySceneChanged() override { ++changes; }
    void SceneDestroyed(TGLScene*) override { ++destroyed; }
    bool DepthTest() const override { return true; }
    float CameraDepthOfView() const override { return 1000; }
    int changes = 0;
    int destroyed = 0;
};

} // namespace hk::test
