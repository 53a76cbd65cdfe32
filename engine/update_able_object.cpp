// Generic change reporting of owned sub-objects.
#include "engine/update_able_object.h"

namespace hk {

void TGLUpdateAbleObject::NotifyChange(TGLNotifiable*) {
    if (updating_ > 0 || owner_ == nullptr) {
        return;
    }
    owner_->NotifyChange(this);
    if (OnChange) {
        OnChange(this);
    }
}

void TGLUpdateAbleObject::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) {
        NotifyChange(this);
    }
}

} // namespace hk
