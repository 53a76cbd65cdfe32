// Steering the 3D view without the window: which camera or object operation a mouse press,
// drag, wheel turn or number key performs and with which arguments, the picked object, and
// the view controls (surface transparency, marker blink). The window only translates its
// events into these calls.
#pragma once

#include "engine/component.h"
#include "engine/flags.h"
#include "engine/vector_types.h"

namespace hk {

class TGLBaseSceneObject;
class TGLCamera;
class TGLCustomSceneObject;
class TGLMaterialLibrary;

// The buttons and keys held during a mouse event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle };
using TShiftState = TFlags<TShiftStateItem>;

// What one mouse move does.
enum class TDragAction {
    daNone,         // nothing but remembering the position
    daOrbit,        // left: orbit the camera around its target
    daRotatePicked, // Shift + left with a picked object: turn it about the view's axes
    daPan,          // right alone: move the model root in the world XY plane
    daDragPicked,   // right alone in pick mode with a picked object: move it in the screen plane
};

// The operation of a mouse move: left (with or without other keys) orbits, or with Shift
// turns the picked object; the right button exactly, with no other button or key, pans or, in
// pick mode, drags the picked object. Without a picked object its operations do nothing.
TDragAction DragActionFor(TShiftState shift, bool pickMode, bool hasPicked);

// The rig's turn for a number key, degrees about the world X, Y and Z axes: "1"/"3" -15/+15
// about Z, "4"/"6" about Y, "7"/"9" about X. False, and angles untouched, for other keys.
bool KeyTurnAngles(char key, TAffineVector& angles);

// The factor the wheel scales the target distance by: 1.1 per notch of 120 away from the user.
float WheelDistanceFactor(int wheelDelta);

// The offset of a picked object dragged by (dx, dy) pixels (positive to the left and up),
// in the frame of the camera's parent: cameraFromTarget is the camera's position relative to
// that frame's origin, unitsPerPixel the scene units one pixel moves. The object follows the
// mouse in the plane facing the camera; a camera on the target or straight above or below it
// has no screen plane and gives no offset.
TAffineVector ScreenPlaneOffset(const TAffineVector& cameraFromTarget, int dx, int dy,
                                float unitsPerPixel);

// The scene objects the navigation moves; all are owned by the scene and outlive the
// navigator. The camera is a child of the rig and looks at it; the model root is a child of
// the rig and the parent of every built object.
struct TNavigationScene {
    TGLBaseSceneObject* Rig = nullptr;
    TGLCamera* Camera = nullptr;
    TGLBaseSceneObject* ModelRoot = nullptr;
};

// The state of the view's mouse handling: last mouse position, picked object, pick mode.
// The picked object is a weak link: when it is freed (a rebuild frees every built object) it
// is dropped, so a later drag does nothing instead of touching freed memory.
class TViewNavigator : public TGLComponent {
public:
    explicit TViewNavigator(const TNavigationScene& scene);
    ~TViewNavigator() override;

    // A press at (x, y); `hit` is the object the buffer found under it. A hit that is an
    // object built from the drawing (anything under the model root, lines included) or
    // another drawable object becomes the picked object and is returned, so that the caller
    // prints its details; empty space (or a hit such as the rig's axes) keeps the old pick and
    // returns none. Stores the position.
    TGLBaseSceneObject* MouseDown(TGLBaseSceneObject* hit, int x, int y);
    // A move to (x, y) with `shift` held: performs DragActionFor with the deltas from the last
    // position (one degree or one pan step per pixel) and stores the position. Returns what it
    // did (daNone when the operation had no object to act on).
    TDragAction MouseMove(TShiftState shift, int x, int y);
    // Scales the camera's target distance by WheelDistanceFactor(wheelDelta).
    void MouseWheel(int wheelDelta);
    // Turns the rig for a number key; false for other keys.
    bool KeyPress(char key);

    TGLBaseSceneObject* PickedObject() const { return picked_; }
    bool PickMode() const { return pickMode_; }
    void SetPickMode(bool on) { pickMode_ = on; }
    int LastX() const { return lastX_; }
    int LastY() const { return lastY_; }

protected:
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    bool Pickable(const TGLBaseSceneObject* hit) const;
    void SetPicked(TGLBaseSceneObject* obj);
    void Pan(int dx, int dy);
    void DragPicked(int dx, int dy);

    TNavigationScene scene_;
    TGLBaseSceneObject* picked_ = nullptr;
    bool pickMode_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
};

// The transparency slider: the alpha of the front diffuse colour of the library's first
// material := position / 1000. Nothing when the library holds no material.
void SetSurfaceTransparency(TGLMaterialLibrary& library, int position);

// One tick of the marker blink: while `marker` is visible the red component of its front
// ambient colour flips between 0 and 1 (any value other than 0 becomes 0). Returns whether it
// changed anything.
bool BlinkMarker(TGLCustomSceneObject& marker);

} // namespace hk
