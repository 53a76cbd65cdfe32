// Mouse, wheel and key input of the 3D view and its view controls.
#include "app/window/view_input.h"

#include "app/window/form1.h"
#include "app/window/scene_viewer.h"
#include "engine/camera.h"
#include "primitives/quadrics/sphere.h"
#include "primitives/shapes/dummy_cube.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QRadioButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>

namespace hk {

namespace {

constexpr float cMarkerSizeDivisor = 100;

} // namespace

TShiftState ShiftStateOf(const QMouseEvent& event) {
    TShiftState shift;
    const Qt::MouseButtons buttons = event.buttons();
    const Qt::KeyboardModifiers keys = event.modifiers();
    shift.Set(ssLeft, buttons.testFlag(Qt::LeftButton));
    shift.Set(ssRight, buttons.testFlag(Qt::RightButton));
    shift.Set(ssMiddle, buttons.testFlag(Qt::MiddleButton));
    shift.Set(ssShift, keys.testFlag(Qt::ShiftModifier));
    shift.Set(ssCtrl, keys.testFlag(Qt::ControlModifier));
    shift.Set(ssAlt, keys.testFlag(Qt::AltModifier));
    return shift;
}

TViewInput::TViewInput(TForm1& form, ShowDetails showDetails)
    : QObject(&form), form_(form), showDetails_(std::move(showDetails)),
      navigator_({form.Fixed.DummyCube1, form.Fixed.GLCamera2, form.Fixed.GLDummyCube1}) {
    setObjectName(QStringLiteral("ViewInput"));
    TGLSceneViewer* view = form.GLSceneViewer1;
    connect(view, &TGLSceneViewer::MouseDown, this, &TViewInput::MouseDown);
    connect(view, &TGLSceneViewer::MouseMove, this, &TViewInput::MouseMove);
    connect(view, &TGLSceneViewer::Wheel, this, &TViewInput::Wheel);
    connect(form.TrackBar1, &QSlider::valueChanged, this, [this](int position) {
        SetSurfaceTransparency(form_.Fixed.GLMaterialLibrary1, position);
    });
    connect(form.TrackBar2, &QSlider::valueChanged, this, [this](int position) {
        form_.Fixed.GLSphere1->SetRadius(static_cast<float>(position) / cMarkerSizeDivisor);
    });
    connect(form.RadioButton1, &QRadioButton::toggled, this,
            [this](bool checked) { navigator_.SetPickMode(checked); });
    navigator_.SetPickMode(form.RadioButton1->isChecked());
    ConnectKeys();
}

void TViewInput::ConnectKeys() {
    // Window shortcuts, so that a number typed into the load-scale box stays there: a text
    // field takes its own characters before any shortcut sees them.
    static constexpr struct {
        char key;
        Qt::Key code;
    } cKeys[] = {{'1', Qt::Key_1}, {'3', Qt::Key_3}, {'4', Qt::Key_4},
                 {'6', Qt::Key_6}, {'7', Qt::Key_7}, {'9', Qt::Key_9}};
    for (const auto& k : cKeys) {
        for (Qt::KeyboardModifiers pad :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
            auto* shortcut = new QShortcut(QKeySequence(pad | k.code), &form_);
            shortcut->setContext(Qt::WindowShortcut);
            const char key = k.key;
            connect(shortcut, &QShortcut::activated, this, [this, key] { KeyPress(key); });
        }
    }
}

void TViewInput::MouseDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    TGLBaseSceneObject* hit = form_.GLSceneViewer1->PickedObjectAt(p.x(), p.y());
    TGLBaseSceneObject* picked = navigator_.MouseDown(hit, p.x(), p.y());
    if (picked != nullptr && showDetails_) {
        showDetails_(*picked);
    }
}

void TViewInput::MouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    navigator_.MouseMove(ShiftStateOf(*event), p.x(), p.y());
}

void TViewInput::Wheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        navigator_.MouseWheel(delta);
    }
    event->accept();
}

void TViewInput::KeyPress(char key) {
    navigator_.KeyPress(key);
}

void TViewInput::Timer3Timer() {
    form_.Timer3->stop();
    BlinkMarker(*form_.Fixed.GLSphere1);
    form_.Timer3->start();
}

} // namespace hk
