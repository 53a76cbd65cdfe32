// The frame of a scene buffer: context creation, global states, matrices, lights and the walk.
#include "engine/scene_buffer.h"

#include "engine/camera.h"
#include "engine/gl_error.h"
#include "engine/light_source.h"
#include "engine/scene.h"
#include "engine/vector_geometry.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace hk {

namespace {

constexpr std::int64_t cCounterFrequency = 1000000000; // the counter counts nanoseconds

std::int64_t ReadCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs `f` when the scope ends, also on an exception.
template <class F> class TScopeExit {
public:
    explicit TScopeExit(F f) : f_(std::move(f)) {}
    ~TScopeExit() { f_(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    F f_;
};

bool VersionAtLeast11() {
    const GLubyte* text = glGetString(GL_VERSION);
    int major = 0, minor = 0;
    if (text == nullptr ||
        std::sscanf(reinterpret_cast<const char*>(text), "%d.%d", &major, &minor) != 2) {
        return false;
    }
    return major > 1 || (major == 1 && minor >= 1);
}

TMatrix CurrentMatrix(GLenum which) {
    TMatrix m;
    glGetFloatv(which, m.data());
    return m;
}

void SendVector(GLenum light, GLenum name, const TVector& v) {
    const GLfloat f[4] = {v.x, v.y, v.z, v.w};
    glLightfv(light, name, f);
}

} // namespace

TGLSceneBuffer::TGLSceneBuffer() : ambientColor_(this, clrGray20) {}

TGLSceneBuffer::~TGLSceneBuffer() {
    NotifyFreeing();
    DestroyContext();
    if (camera_ != nullptr) {
        RemoveFreeNotification(camera_);
        camera_ = nullptr;
    }
    LeaveScene();
}

// ---- properties ----------------------------------------------------------------------------

void TGLSceneBuffer::NotifyChange(TGLNotifiable*) {
    if (!rendering_ && OnChange) {
        OnChange(this);
    }
}

void TGLSceneBuffer::NotifyStructuralChange() {
    if (OnStructuralChange) {
        OnStructuralChange(this);
    }
}

template <class T> void TGLSceneBuffer::Store(T& field, const T& value) {
    if (!(field == value)) {
        field = value;
        NotifyChange(this);
    }
}

template <class T> void TGLSceneBuffer::StoreStructural(T& field, const T& value) {
    if (!(field == value)) {
        field = value;
        NotifyStructuralChange();
    }
}

void TGLSceneBuffer::SetBackgroundColor(TWinColor c) {
    Store(backgroundColor_, c);
}
void TGLSceneBuffer::SetBackgroundAlpha(float a) {
    Store(backgroundAlpha_, a);
}
void TGLSceneBuffer::SetContextOptions(TContextOptions v) {
    StoreStructural(contextOptions_, v);
}
void TGLSceneBuffer::SetDepthTest(bool v) {
    Store(depthTest_, v);
}
void TGLSceneBuffer::SetFaceCulling(bool v) {
    Store(faceCulling_, v);
}
void TGLSceneBuffer::SetLighting(bool v) {
    Store(lighting_, v);
}
void TGLSceneBuffer::SetAntiAliasing(TGLAntiAliasing v) {
    StoreStructural(antiAliasing_, v);
}
void TGLSceneBuffer::SetDepthPrecision(TGLDepthPrecision v) {
    StoreStructural(depthPrecision_, v);
}
void TGLSceneBuffer::SetColorDepth(TGLColorDepth v) {
    StoreStructural(colorDepth_, v);
}
void TGLSceneBuffer::SetShadeModel(TGLShadeModel v) {
    Store(shadeModel_, v);
}
void TGLSceneBuffer::SetFogEnable(bool v) {
    Store(fogEnable_, v);
}
void TGLSceneBuffer::SetResolutionScale(float v) {
    resolutionScale_ = std::clamp(v, 1.0f / 16, 1.0f);
}

void TGLSceneBuffer::SetDetailScale(float v) {
    detailScale_ = std::max(v, 0.0f);
}
void TGLSceneBuffer::SetAccumBufferBits(int v) {
    StoreStructural(accumBufferBits_, v);
}

void TGLSceneBuffer::SetCamera(TGLCamera* camera) {
    if (camera == camera_) {
        return;
    }
    if (camera_ != nullptr) {
        RemoveFreeNotification(camera_);
        LeaveScene();
    }
    camera_ = camera;
    if (camera_ != nullptr) {
        FreeNotification(camera_);
        if (camera_->Scene() != nullptr) {
            registeredScene_ = camera_->Scene();
            registeredScene_->AddBuffer(this);
        }
        camera_->NotifyTransformChanged();
    }
    NotifyChange(this);
}

void TGLSceneBuffer::LeaveScene() {
    if (registeredScene_ != nullptr) {
        registeredScene_->RemoveBuffer(this);
        registeredScene_ = nullptr;
    }
}

void TGLSceneBuffer::ShareListsWithFirstBuffer() {
    const std::vector<TGLSceneBufferClient*>& buffers = registeredScene_->Buffers();
    if (buffers.size() < 2 || buffers.front() == this) {
        return;
    }
    auto* first = dynamic_cast<TGLSceneBuffer*>(buffers.front());
    if (first == nullptr || !first->context_ || !context_ ||
        first->context_->SharesListsWith(context_.get())) {
        return;
    }
    try {
        first->context_->ShareLists(*context_);
    } catch (const EGLContext&) {
        // The platform cannot make these two share. An object holds one list name, valid in
        // the context that compiled it, so the scene is meant to be drawn by one of them.
    }
}

void TGLSceneBuffer::Notification(TGLComponent* component, TOperation operation) {
    if (operation == opRemove && component == camera_) {
        camera_ = nullptr;
        LeaveScene();
    }
    TGLComponent::Notification(component, operation);
}

void TGLSceneBuffer::SceneDestroyed(TGLScene* scene) {
    if (scene == registeredScene_) {
        registeredScene_ = nullptr;
    }
}

float TGLSceneBuffer::CameraDepthOfView() const {
    return camera_ != nullptr ? camera_->DepthOfView() : 100.0f;
}

// ---- context -------------------------------------------------------------------------------

void TGLSceneBuffer::CreateContext(TGLDeviceContext& dc, bool memory) {
    DestroyContext();
    rendering_ = true;
    TScopeExit clearFlag([this] { rendering_ = false; });
    std::unique_ptr<TGLContext> context = TGLContextManager::Instance().CreateContext();
    if (!context) {
        throw EGLContext("Failed to create RenderingContext.");
    }
    TGLContextOptions options;
    options.Set(coDoubleBuffered, contextOptions_.Contains(roDoubleBuffer));
    options.Set(coStereo, contextOptions_.Contains(roStereo));
    context->SetOptions(options);
    static constexpr int colorBits[] = {24, 8, 16, 24, 64, 128};
    static constexpr int depthBits[] = {24, 16, 24, 32};
    context->SetColorBits(contextOptions_.Contains(roNoColorBuffer) ? 0 : colorBits[colorDepth_]);
    context->SetDepthBits(depthBits[depthPrecision_]);
    context->SetStencilBits(contextOptions_.Contains(roStencilBuffer) ? 8 : 0);
    context->SetAlphaBits(contextOptions_.Contains(roDestinationAlpha) ? 8 : 0);
    context->SetAccumBits(accumBufferBits_);
    context->SetAuxBuffers(0);
    context->SetAntiAliasing(antiAliasing_);
    if (OnSetupContext) {
        OnSetupContext(this, *context);
    }
    if (memory) {
        context->CreateMemoryContext(dc, std::max(1, viewport_.Width),
                                     std::max(1, viewport_.Height));
    } else {
        context->CreateContext(dc);
    }
    context->Activate();
    TGLContext* active = context.get(); // still valid after the move below
    TScopeExit deactivate([active] { active->Deactivate(); });
    if (!VersionAtLeast11()) {
        throw EOpenGLError("Need at least OpenGL version 1.1");
    }
    glViewport(0, 0, viewport_.Width, viewport_.Height);
    ApplyGlobalStates();
    TColorVector bg = ConvertWinColor(backgroundColor_, 1);
    glClearColor(bg.x, bg.y, bg.z, 1);
    context_ = std::move(context);
}

void TGLSceneBuffer::DestroyContext() {
    if (!context_) {
        return;
    }
    // The display lists and the reduced target live in this context; free them while it is
    // current.
    context_->Activate();
    reducedTarget_.Destroy();
    TGLScene* scene = camera_ != nullptr ? camera_->Scene() : registeredScene_;
    if (scene != nullptr) {
        scene->DestroyHandles();
    }
    context_->Deactivate();
    context_.reset();
    LeaveScene();
}

void TGLSceneBuffer::SetViewportSize(int width, int height) {
    viewport_.Width = std::max(1, width);
    viewport_.Height = std::max(1, height);
    if (context_) {
        context_->Activate();
        glViewport(0, 0, viewport_.Width, viewport_.Height);
        context_->Deactivate();
    }
}

// ---- frame ---------------------------------------------------------------------------------

void TGLSceneBuffer::ApplyGlobalStates() {
    const TColorVector& a = ambientColor_.Color();
    const GLfloat ambient[4] = {a.x, a.y, a.z, a.w};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, contextOptions_.Contains(roTwoSideLighting) ? 1 : 0);
    states_.ForceState(stNormalize, true);
    states_.ForceState(stDepthTest, depthTest_);
    states_.ForceState(stCullFace, faceCulling_);
    states_.ForceState(stLighting, lighting_);
    states_.ForceState(stFog, fogEnable_);
    GLint blueBits = 0;
    glGetIntegerv(GL_BLUE_BITS, &blueBits);
    states_.ForceState(stDither, blueBits < 8);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(shadeModel_ == smFlat ? GL_FLAT : GL_SMOOTH);
}

void TGLSceneBuffer::ClearBuffers() {
    GLbitfield mask = GL_DEPTH_BUFFER_BIT;
    if (!contextOptions_.Contains(roNoColorBuffer) &&
        !contextOptions_.Contains(roNoColorBufferClear)) {
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (contextOptions_.Contains(roStencilBuffer)) {
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    glClear(mask);
}

void TGLSceneBuffer::ResetPerformanceMonitor() {
    frameCount_ = 0;
    firstFrameTime_ = 0;
}

void TGLSceneBuffer::RenderFrame(TGLBaseSceneObject* baseObject) {
    if (rendering_ || !context_) {
        return;
    }
    const TColorVector bg = ConvertWinColor(backgroundColor_, backgroundAlpha_);
    const std::int64_t start = ReadCounter();
    if (camera_ != nullptr && camera_->Scene() != nullptr) {
        camera_->WorldMatrix();
        if (registeredScene_ != camera_->Scene()) {
            LeaveScene();
            registeredScene_ = camera_->Scene();
        }
        registeredScene_->AddBuffer(this);
        ShareListsWithFirstBuffer();
    }
    {
        rendering_ = true;
        TScopeExit clearFlag([this] { rendering_ = false; });
        context_->Activate();
        TScopeExit deactivate([this] { context_->Deactivate(); });
        if (frameCount_ == 0) {
            firstFrameTime_ = start;
        }
        renderDPI_ = 96;
        ClearGLErrors();
        ApplyGlobalStates();
        glClearColor(bg.x, bg.y, bg.z, bg.w);
        // A reduced frame keeps the full viewport's projection and levels of detail; only
        // the pixels it fills are fewer.
        const bool reduced =
            resolutionScale_ < 1 &&
            reducedTarget_.Begin(viewport_.Width, viewport_.Height, resolutionScale_,
                                 contextOptions_.Contains(roStencilBuffer));
        {
            TScopeExit endReduced([this, reduced] {
                if (reduced) {
                    reducedTarget_.End();
                }
            });
            ClearBuffers();
            CheckOpenGLError();
            RenderScene(viewport_, renderDPI_, baseObject, dsRendering);
        }
        CheckOpenGLError();
        if (!contextOptions_.Contains(roNoSwapBuffers)) {
            context_->SwapBuffers();
        }
        ++frameCount_;
        const std::int64_t end = ReadCounter();
        lastFrameTime_ = float(double(end - start) / cCounterFrequency);
        if (end != firstFrameTime_) {
            framesPerSecond_ =
                float(double(frameCount_) * cCounterFrequency / double(end - firstFrameTime_));
        }
        CheckOpenGLError();
    }
    if (AfterRender) {
        AfterRender(this);
    }
}

void TGLSceneBuffer::PrepareMatrices(const TRectangle& viewport, int dpi, const TRect* pickRect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (pickRect != nullptr) {
        GLint vp[4] = {viewport.Left, viewport.Top, viewport.Width, viewport.Height};
        // The corners are pixels and both belong to the window, which covers their whole
        // area: a click's 3 x 3 pixels are centred on the clicked pixel's centre, so a line
        // drawn one pixel wide through any of them is picked.
        const double w = std::abs(pickRect->Right - pickRect->Left) + 1;
        const double h = std::abs(pickRect->Bottom - pickRect->Top) + 1;
        const double x = (pickRect->Left + pickRect->Right) / 2.0 + 0.5;
        const double y = (pickRect->Top + pickRect->Bottom) / 2.0 + 0.5;
        gluPickMatrix(x, viewport.Height - y, w, h, vp);
    }
    baseProjectionMatrix_ = CurrentMatrix(GL_PROJECTION_MATRIX);
    if (camera_ != nullptr) {
        camera_->ApplyProjection(viewport, viewport.Width, viewport.Height, dpi);
    }
    projectionMatrix_ = CurrentMatrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (camera_ != nullptr) {
        if (camera_->Scene() != nullptr) {
            camera_->Scene()->SetCurrentCamera(camera_);
        }
        camera_->ApplyViewMatrix();
        cameraPosition_ = camera_->WorldPosition();
    }
    modelViewMatrix_ = CurrentMatrix(GL_MODELVIEW_MATRIX);
}

void TGLSceneBuffer::RenderScene(const TRectangle& viewport, int dpi,
                                 TGLBaseSceneObject* baseObject, TDrawState drawState) {
    PrepareMatrices(viewport, dpi);
    if (ViewerBeforeRender) {
        ViewerBeforeRender(this);
    }
    if (BeforeRender) {
        BeforeRender(this);
    }
    if (camera_ != nullptr && camera_->Scene() != nullptr) {
        TGLScene& scene = *camera_->Scene();
        GLint maxLights = 0;
        glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
        SetupLights(scene, maxLights);
        states_.SetState(stFog, fogEnable_);
        RenderWalk(scene, baseObject != nullptr ? *baseObject : scene.Objects(), drawState,
                   nullptr);
    }
    if (PostRender) {
        PostRender(this);
    }
}

void TGLSceneBuffer::SetupLights(TGLScene& scene, int maxLights) {
    const int n = std::min(maxLights, cMaxLightSlots);
    glPushMatrix();
    for (int i = 0; i < n; ++i) {
        const GLenum unit = GLenum(GL_LIGHT0 + i);
        auto* light = dynamic_cast<TGLLightSource*>(scene.Lights()[i]);
        if (light == nullptr || !light->Shining()) {
            glDisable(unit);
            continue;
        }
        glEnable(unit);
        glPopMatrix();
        glPushMatrix();
        if (light->LightStyle() == lsParallel) {
            glMultMatrixf(light->WorldMatrix().data());
            SendVector(unit, GL_POSITION, VectorMake(light->SpotDirection().GetXYZ(), 0));
        } else {
            if (light->Parent() != nullptr) {
                glMultMatrixf(light->Parent()->WorldMatrix().data());
            }
            SendVector(unit, GL_POSITION, VectorMake(light->Position().GetXYZ(), 1));
        }
        SendVector(unit, GL_AMBIENT, light->Ambient());
        SendVector(unit, GL_DIFFUSE, light->Diffuse());
        SendVector(unit, GL_SPECULAR, light->Specular());
        if (light->LightStyle() == lsSpot) {
            if (light->SpotCutOff() != 180) {
                SendVector(unit, GL_SPOT_DIRECTION, light->SpotDirection().AsVector());
                glLightf(unit, GL_SPOT_EXPONENT, light->SpotExponent());
            }
            glLightf(unit, GL_SPOT_CUTOFF, light->SpotCutOff());
        } else {
            glLightf(unit, GL_SPOT_CUTOFF, 180);
        }
        glLightf(unit, GL_CONSTANT_ATTENUATION, light->ConstAttenuation());
        glLightf(unit, GL_LINEAR_ATTENUATION, light->LinearAttenuation());
        glLightf(unit, GL_QUADRATIC_ATTENUATION, light->QuadraticAttenuation());
    }
    glPopMatrix();
    for (int i = n; i < maxLights; ++i) {
        glDisable(GLenum(GL_LIGHT0 + i));
    }
}

void TGLSceneBuffer::RenderWalk(TGLScene& scene, TGLBaseSceneObject& baseObject,
                                TDrawState drawState, std::vector<TGLBaseSceneObject*>* pickNames) {
    afterRenderObjects_.clear();
    TRenderContextInfo rci;
    rci.scene = &scene;
    rci.buffer = this;
    rci.modelViewMatrix = &modelViewMatrix_;
    rci.drawState = drawState;
    rci.objectsSorting = scene.ObjectsSorting();
    rci.visibilityCulling = scene.VisibilityCulling();
    rci.GLStates = &states_;
    rci.bufferFaceCull = faceCulling_;
    rci.sceneAmbientColor = ambientColor_.Color();
    rci.renderDPI = renderDPI_;
    rci.pickNames = pickNames;
    if (camera_ != nullptr) {
        rci.camera = camera_;
        rci.cameraPosition = cameraPosition_;
        TVector d = VectorNormalize(camera_->LastDirection());
        rci.cameraDirection = d;
        rci.cameraUp =
            VectorNormalize(VectorCrossProduct(VectorCrossProduct(d, camera_->WorldUp()), d));
        rci.viewExtentRatio = camera_->ViewExtentRatio();
        rci.farDistance = camera_->NearPlane() + camera_->DepthOfView();
    }
    const TMatrix viewProjection = MatrixMultiply(modelViewMatrix_, projectionMatrix_);
    rci.frustum = ExtractFrustumFromModelViewProjection(viewProjection);
    if (drawState == dsRendering) {
        // A length l at clip w spans l * P[1][1] / w of the view's half height.
        rci.pixelsPerUnit = projectionMatrix_[1][1] * float(viewport_.Height) * 0.5f * detailScale_;
        rci.unsortedBlending = detailScale_ > 0 && detailScale_ < 1;
        rci.clipW = {viewProjection[0][3], viewProjection[1][3], viewProjection[2][3],
                     viewProjection[3][3]};
    }
    states_.ResetForWalk();
    rci.ignoreMaterials = contextOptions_.Contains(roNoColorBuffer) || drawState == dsPicking;
    if (rci.ignoreMaterials) {
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    }
    {
        TScopeExit colourBack([] { glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE); });
        if (InitiateRendering) {
            InitiateRendering(this);
        }
        baseObject.RenderObject(rci);
    }
    // The list may grow while its objects draw; index rather than iterate.
    for (std::size_t i = 0; i < afterRenderObjects_.size(); ++i) {
        afterRenderObjects_[i]->RenderObject(rci);
    }
    if (WrapUpRendering) {
        WrapUpRendering(this);
    }
    states_.Disable(stBlend);
    states_.Disable(stTexture2D);
    states_.Disable(stTextureRect);
    states_.Enable(stAlphaTest);
    glAlphaFunc(GL_GREATER, 0);
}

} // namespace hk
