// Colour property and window-colour conversion.
#include "engine/color.h"

#include "engine/scene_object.h"
#include "engine/vector_geometry.h"

#include <iterator>

namespace hk {

namespace {

// Usual desktop defaults of the first system colours, as 0xRRGGBB.
constexpr std::uint32_t cSystemColorsRGB[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xFFFFE1};

} // namespace

TColorVector ConvertWinColor(TWinColor color, float alpha) {
    if (color & 0x80000000u) {
        std::uint32_t index = color & 0xFFu;
        std::uint32_t rgb =
            index < std::size(cSystemColorsRGB) ? cSystemColorsRGB[index] : 0xF0F0F0;
        color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    return {float(color & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
            float((color >> 16) & 0xFF) / 255.0f, alpha};
}

TGLColor::TGLColor(TGLNotifiable* owner, const TColorVector& defaultColor)
    : TGLUpdateAbleObject(owner), color_(defaultColor), default_(defaultColor) {}

void TGLColor::SetColor(const TColorVector& c) {
    if (!VectorEquals(c, color_)) {
        color_ = c;
        NotifyChange(this);
    }
}

float TGLColor::Component(int index) const {
    return (index >= 0 && index < 4) ? color_[index] : 0.0f;
}

void TGLColor::SetComponent(int index, float value) {
    if (index < 0 || index > 3 || color_[index] == value) {
        return;
    }
    color_[index] = value;
    NotifyChange(this);
}

bool TGLColor::NeedsStoring() const {
    return !VectorEquals(color_, default_);
}

void TGLColor::WriteData(TBinaryWriter& w) const {
    for (int i = 0; i < 4; ++i) {
        w.WriteFloat(color_[i]);
    }
}

void TGLColor::ReadData(TBinaryReader& r) {
    if (r.Remaining() < 16) {
        r.Fail("truncated Color value");
    }
    TColorVector c;
    for (int i = 0; i < 4; ++i) {
        c[i] = r.ReadFloat();
    }
    SetColor(c);
}

void TGLColor::NotifyChange(TGLNotifiable* sender) {
    if (IsUpdating()) {
        return;
    }
    if (auto* obj = dynamic_cast<TGLBaseSceneObject*>(Owner())) {
        obj->StructureChanged();
    }
    TGLUpdateAbleObject::NotifyChange(sender);
}

} // namespace hk
