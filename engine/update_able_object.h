// Sub-objects that report their changes to an owner: coordinates, colours, face properties,
// materials. While updating, or without an owner, changes are not reported.
#pragma once

#include "engine/component.h"

#include <functional>

namespace hk {

class TGLUpdateAbleObject : public TGLNotifiable {
public:
    explicit TGLUpdateAbleObject(TGLNotifiable* owner) : owner_(owner) {}
    TGLUpdateAbleObject(const TGLUpdateAbleObject&) = delete;
    TGLUpdateAbleObject& operator=(const TGLUpdateAbleObject&) = delete;
    virtual ~TGLUpdateAbleObject() = default;

    TGLNotifiable* Owner() const { return owner_; }
    // Nothing while updating or without owner; else the owner is told, then OnChange fires.
    void NotifyChange(TGLNotifiable* sender) override;
    void BeginUpdate() { ++updating_; }
    // Reports one change when the outermost bracket closes.
    void EndUpdate();
    bool IsUpdating() const { return updating_ > 0; }

    std::function<void(TGLUpdateAbleObject*)> OnChange;

private:
    TGLNotifiable* owner_;
    int updating_ = 0;
};

} // namespace hk
