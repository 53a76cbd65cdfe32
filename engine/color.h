// TGLColor: an RGBA float colour property that reports changes to its owner (a scene object
// owner also gets its structure marked changed), with a default kept for streaming. Also the
// conversion of 32-bit window-system colours.
#pragma once

#include "engine/binary_stream.h"
#include "engine/update_able_object.h"
#include "engine/vector_types.h"

#include <cstdint>

namespace hk {

inline constexpr TColorVector clrBlack{0, 0, 0, 1};
inline constexpr TColorVector clrWhite{1, 1, 1, 1};
inline constexpr TColorVector clrGray20{0.2f, 0.2f, 0.2f, 1};
inline constexpr TColorVector clrGray80{0.8f, 0.8f, 0.8f, 1};

// A window-system colour: 0x00BBGGRR, or 0x800000nn for system colour nn (resolved to the
// usual desktop defaults; unknown indices give the button-face grey).
using TWinColor = std::uint32_t;
inline constexpr TWinColor clBtnFace = 0x8000000F;
// red = low byte / 255, green = second byte / 255, blue = third byte / 255.
TColorVector ConvertWinColor(TWinColor color, float alpha = 1);

class TGLColor : public TGLUpdateAbleObject {
public:
    explicit TGLColor(TGLNotifiable* owner, const TColorVector& defaultColor = clrBlack);

    const TColorVector& Color() const { return color_; }
    // Stores and notifies only when the value differs.
    void SetColor(const TColorVector& c);
    void SetColor(float r, float g, float b, float a = 1) { SetColor(TColorVector{r, g, b, a}); }
    float Red() const { return color_.x; }
    float Green() const { return color_.y; }
    float Blue() const { return color_.z; }
    float Alpha() const { return color_.w; }
    void SetRed(float v) { SetComponent(0, v); }
    void SetGreen(float v) { SetComponent(1, v); }
    void SetBlue(float v) { SetComponent(2, v); }
    void SetAlpha(float v) { SetComponent(3, v); }
    // Index 0..3 (red, green, blue, alpha); other indices are ignored.
    float Component(int index) const;
    void SetComponent(int index, float value);
    void SetWinColor(TWinColor c, float alpha = 1) { SetColor(ConvertWinColor(c, alpha)); }

    const TColorVector& DefaultColor() const { return default_; }
    // The streamed "Color" value is written only when the colour differs from its default.
    bool NeedsStoring() const;
    void WriteData(TBinaryWriter& w) const;
    // Throws EReadError when fewer than 16 bytes remain; the colour is unchanged then.
    void ReadData(TBinaryReader& r);

    void NotifyChange(TGLNotifiable* sender) override;

private:
    TColorVector color_;
    TColorVector default_;
};

} // namespace hk
