// TViewInput: the input side of the main window's 3D view. It turns the view's mouse presses,
// drags and wheel turns and the window's number keys into TViewNavigator calls, prints the
// details of a picked item, and drives the transparency slider TrackBar1, the marker-size
// slider TrackBar2, the "Pick" button and the marker blink of Timer3.
#pragma once

#include "app/navigation.h"

#include <QObject>

#include <functional>

class QMouseEvent;
class QWheelEvent;

namespace hk {

class TForm1;
class TGLBaseSceneObject;
class TGLSphere;

class TViewInput : public QObject {
    Q_OBJECT
public:
    // Prints the items the picked object was built from.
    using ShowDetails = std::function<void(const TGLBaseSceneObject& picked)>;

    // Connects to the form's view, sliders, "Pick" button and number keys; the form must have
    // built its controls and its scene. Timer3 is left to the form, whose tick calls
    // Timer3Timer. A child of the form, named "ViewInput".
    TViewInput(TForm1& form, ShowDetails showDetails);

    TViewNavigator& Navigator() { return navigator_; }

    // One blink of the marker sphere; Timer3 is stopped while it runs.
    void Timer3Timer();

private:
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void Wheel(QWheelEvent* event);
    void KeyPress(char key);
    void ConnectKeys();

    TForm1& form_;
    ShowDetails showDetails_;
    TViewNavigator navigator_;
};

// The buttons and keys of a Qt mouse event as a shift state.
TShiftState ShiftStateOf(const QMouseEvent& event);

} // namespace hk
