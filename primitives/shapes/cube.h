// TGLCube: an axis-aligned box centred on the object's origin, drawn directly every frame.
#pragma once

#include "engine/binary_stream.h"
#include "engine/custom_scene_object.h"
#include "engine/flags.h"
#include "primitives/quadrics/quadric_object.h"

namespace hk {

enum TCubePart { cpTop, cpBottom, cpFront, cpBack, cpLeft, cpRight };
using TCubeParts = TFlags<TCubePart>;
inline constexpr TCubeParts cAllCubeParts{cpTop, cpBottom, cpFront, cpBack, cpLeft, cpRight};

class TGLCube : public TGLCustomSceneObject {
public:
    // Direct drawing: the box is emitted again each frame.
    TGLCube();

    float CubeWidth() const { return width_; }
    void SetCubeWidth(float value);
    float CubeHeight() const { return height_; }
    void SetCubeHeight(float value);
    float CubeDepth() const { return depth_; }
    void SetCubeDepth(float value);
    TCubeParts Parts() const { return parts_; }
    void SetParts(TCubeParts value);
    TNormalDirection NormalDirection() const { return normalDirection_; }
    void SetNormalDirection(TNormalDirection value);
    // The streamed "CubeSize" value is written only when a side differs from 1.
    bool CubeSizeStored() const { return width_ != 1 || height_ != 1 || depth_ != 1; }
    // The "CubeSize" value: width, height and depth as 12 raw bytes.
    void WriteCubeSize(TBinaryWriter& w) const;
    // Throws EReadError when fewer than 12 bytes remain; the sizes are unchanged then.
    void ReadCubeSize(TBinaryReader& r);

    // (CubeWidth/2, CubeHeight/2, CubeDepth/2).
    TVector UnscaledBoxExtents() override;
    // From a cube: sizes, parts and normal direction; then the scene-object part.
    virtual void Assign(const TGLBaseSceneObject& source);
    // One GL_QUADS block with the selected faces; the winding does not follow the normal
    // direction, only the normals do.
    void EmitGeometry(TRenderContextInfo& rci) override;
    std::optional<TAABB> GeometryBox() override;
    bool RecordsGeometry() override { return true; }

private:
    float width_ = 1, height_ = 1, depth_ = 1;
    TCubeParts parts_ = cAllCubeParts;
    TNormalDirection normalDirection_ = ndOutside;
};

} // namespace hk
