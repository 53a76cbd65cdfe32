#include "primitives/text/axis_captions.h"

namespace hk {
namespace {

TGLSpaceText* Caption(TGLBaseSceneObject& parent, const char* name, const char* text,
                      const char* face, int charset, const TVector& position) {
    auto* caption = parent.CreateChild<TGLSpaceText>();
    caption->SetName(name);
    TFont font;
    font.Name = face;
    font.Height = -11;
    font.Charset = charset;
    caption->SetFont(font);
    caption->SetExtrusion(0.1f);
    caption->SetText(text);
    caption->SetScale({0.5f, 0.5f, 0.5f, 0});
    caption->SetPosition(position);
    return caption;
}

} // namespace

TAxisCaptions CreateAxisCaptions(TGLBaseSceneObject& parent) {
    TAxisCaptions captions;
    captions.X =
        Caption(parent, "GLSpaceText1", "X", "MS UI Gothic", SHIFTJIS_CHARSET, {3.5f, 0, 0, 1});
    captions.Y = Caption(parent, "GLSpaceText2", "Y", "Arial", DEFAULT_CHARSET, {0, 3, 0, 1});
    captions.Z = Caption(parent, "GLSpaceText3", "Z", "Arial", DEFAULT_CHARSET, {0, 0, 3.5f, 1});
    captions.Z->SetDirection({0, 0, 1, 0});
    return captions;
}

} // namespace hk
