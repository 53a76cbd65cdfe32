// The base of the engine's components (scene, scene objects, material libraries): a name, a
// tag, a loading state and free notification, through which weak references to a component
// are cleared when it goes away.
#pragma once

#include <string>
#include <vector>

namespace hk {

enum TOperation { opInsert, opRemove };

// Anything an update-able sub-object (coordinates, colours, materials) reports changes to.
class TGLNotifiable {
public:
    virtual void NotifyChange(TGLNotifiable* sender) = 0;

protected:
    ~TGLNotifiable() = default;
};

class TGLComponent : public TGLNotifiable {
public:
    TGLComponent() = default;
    TGLComponent(const TGLComponent&) = delete;
    TGLComponent& operator=(const TGLComponent&) = delete;
    virtual ~TGLComponent();

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // While loading, setters store values without side effects; Loaded() ends the state.
    bool IsLoading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    void EndLoading();
    bool IsDestroying() const { return destroying_; }

    // Asks for Notification(this, opRemove) on `other` when this component is destroyed, and
    // the other way round. Idempotent.
    void FreeNotification(TGLComponent* other);
    void RemoveFreeNotification(TGLComponent* other);

    void NotifyChange(TGLNotifiable*) override {}

protected:
    // Called on every component linked by FreeNotification when `component` is destroyed;
    // implementations drop their references to it.
    virtual void Notification(TGLComponent* component, TOperation operation);
    virtual void Loaded() {}
    // Sends the free notifications now; derived destructors call it first so that receivers
    // are told while the object is still whole. Safe to call twice.
    void NotifyFreeing();

private:
    void Unlink(TGLComponent* other);

    std::string name_;
    int tag_ = 0;
    bool loading_ = false;
    bool destroying_ = false;
    std::vector<TGLComponent*> freeNotifies_;
};

} // namespace hk
