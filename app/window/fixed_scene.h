// The fixed part of the main window's scene: the top grouping node with its axes, the three
// cameras, the light that moves with the viewing camera, the axis captions, the model root
// that receives every object built from the data file, and the marker sphere.
#pragma once

#include "primitives/text/axis_captions.h"

namespace hk {

class TGLCamera;
class TGLDummyCube;
class TGLLightSource;
class TGLScene;
class TGLSphere;

// Weak links into the scene, which owns every object.
struct TFixedScene {
    TGLDummyCube* DummyCube1 = nullptr;
    TGLCamera* GLCamera1 = nullptr;
    TGLCamera* GLCamera2 = nullptr;
    TGLCamera* GLCamera3 = nullptr;
    TGLLightSource* GLLightSource3 = nullptr;
    TAxisCaptions Captions;
    TGLDummyCube* GLDummyCube1 = nullptr;
    TGLSphere* GLSphere1 = nullptr;
};

// The viewer's background, RGB (0, 64, 128) as a window-system colour, and its stored field of
// view, which equals GLCamera2's focal length of 400 on the 724-pixel design width.
inline constexpr unsigned cViewerBackgroundColor = 8404992;
inline constexpr float cViewerFieldOfView = 84.29019165039062f;

// Builds the objects under the scene's object root. At the root: DummyCube1 (axes shown, cube
// size 1, edge colour (0.5, 0.5, 0.5, 1)), GLCamera1 and GLCamera3 (depth of view 100, focal
// length 50). Under DummyCube1: GLCamera2 at (15, 10, 15) looking at DummyCube1 (depth of view
// 1000, focal length 400) carrying GLLightSource3 (constant attenuation 1, spot cut-off 180);
// the captions "X", "Y", "Z"; the model root GLDummyCube1 (cube size 1); GLSphere1, the
// marker (visible; the window hides it at the end of its start-up).
TFixedScene BuildFixedScene(TGLScene& scene);

} // namespace hk
