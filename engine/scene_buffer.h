// TGLSceneBuffer: the rendering context, viewport, background and global render switches of
// one view, and the frame it runs: states, clear, camera projection and view, lights, the
// scene walk. The same walk in OpenGL selection mode serves picking (PickedObjectAt,
// PickRegion). Nothing here knows the window system: the view hands in a TGLDeviceContext and
// the registered platform context class does the rest.
#pragma once

#include "engine/color.h"
#include "engine/component.h"
#include "engine/context.h"
#include "engine/flags.h"
#include "engine/reduced_target.h"
#include "engine/render_context_info.h"
#include "engine/scene_buffer_client.h"
#include "engine/state_cache.h"
#include "engine/vector_types.h"
#include "engine/viewport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace hk {

class TGLCamera;
class TGLPickList;
class TGLScene;

enum TContextOption {
    roDoubleBuffer,
    roStencilBuffer,
    roRenderToWindow,
    roTwoSideLighting,
    roStereo,
    roDestinationAlpha,
    roNoColorBuffer,
    roNoColorBufferClear,
    roNoSwapBuffers
};
using TContextOptions = TFlags<TContextOption>;

// The detail scale of the frames a view draws while it moves (see SetDetailScale): every solid
// smaller than some 30 pixels across draws at its coarsest level, which keeps a drawing of
// thousands of solids turning smoothly on a software rasteriser.
inline constexpr float cMovingDetailScale = 1.0f / 32;

enum TGLDepthPrecision { dpDefault, dp16bits, dp24bits, dp32bits };
enum TGLColorDepth { cdDefault, cd8bits, cd16bits, cd24bits, cdFloat64bits, cdFloat128bits };
enum TGLShadeModel { smDefault, smSmooth, smFlat };

class TGLSceneBuffer : public TGLComponent, public TGLSceneBufferClient {
public:
    using TBufferEvent = std::function<void(TGLSceneBuffer* sender)>;

    TGLSceneBuffer();
    // Destroys the context and leaves the camera's scene.
    ~TGLSceneBuffer() override;

    // ---- properties: each setter compares, stores and notifies a change; the context and
    // pixel-format ones notify a structural change instead ------------------------------------
    TWinColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TWinColor c);
    float BackgroundAlpha() const { return backgroundAlpha_; }
    void SetBackgroundAlpha(float a);
    TGLColor& AmbientColor() { return ambientColor_; }
    TContextOptions ContextOptions() const { return contextOptions_; }
    void SetContextOptions(TContextOptions v);
    bool DepthTest() const override { return depthTest_; }
    void SetDepthTest(bool v);
    bool FaceCulling() const { return faceCulling_; }
    void SetFaceCulling(bool v);
    bool Lighting() const { return lighting_; }
    void SetLighting(bool v);
    TGLAntiAliasing AntiAliasing() const { return antiAliasing_; }
    void SetAntiAliasing(TGLAntiAliasing v);
    TGLDepthPrecision DepthPrecision() const { return depthPrecision_; }
    void SetDepthPrecision(TGLDepthPrecision v);
    TGLColorDepth ColorDepth() const { return colorDepth_; }
    void SetColorDepth(TGLColorDepth v);
    TGLShadeModel ShadeModel() const { return shadeModel_; }
    void SetShadeModel(TGLShadeModel v);
    bool FogEnable() const { return fogEnable_; }
    void SetFogEnable(bool v);
    int AccumBufferBits() const { return accumBufferBits_; }
    void SetAccumBufferBits(int v);
    // Scales every object's size on screen when its level of detail is chosen: 1 draws the
    // full picture, less a coarser one (while the view moves) in which blended solids are
    // drawn unsorted, 0 every object in full detail and nothing culled. Negative values count
    // as 0. A setting of the next frame: it asks for no repaint.
    float DetailScale() const { return detailScale_; }
    void SetDetailScale(float v);
    // The share of the viewport's width and height that frames are drawn at before they are
    // stretched over the viewport: 1 (full resolution) or less, down to 1/16; outside values
    // are clamped. Without framebuffer objects frames stay at full resolution. A setting of
    // the next frame, as the detail scale: picking is not affected.
    float ResolutionScale() const { return resolutionScale_; }
    void SetResolutionScale(float v);

    // Weak: cleared when the camera is destroyed. Moves the buffer's registration from the
    // old camera's scene to the new one's.
    TGLCamera* Camera() const { return camera_; }
    void SetCamera(TGLCamera* camera);

    // ---- context ------------------------------------------------------------------------------
    // Builds the context on `dc` (an off-screen one of the viewport size when `memory`).
    // Throws EGLContext "Failed to create RenderingContext." when no platform class is
    // registered, the platform's EGLContext when creation fails, EOpenGLError "Need at least
    // OpenGL version 1.1"; the buffer is then left without a context.
    void CreateContext(TGLDeviceContext& dc, bool memory);
    // Frees the context (with the scene's display lists) and leaves the camera's scene.
    void DestroyContext();
    TGLContext* RenderingContext() const { return context_.get(); }

    // Stores max(1, w) x max(1, h) and, with a context, sets the OpenGL viewport.
    void SetViewportSize(int width, int height);
    const TRectangle& Viewport() const { return viewport_; }
    int Width() const { return viewport_.Width; }
    int Height() const { return viewport_.Height; }
    int RenderDPI() const { return renderDPI_; }
    bool Rendering() const { return rendering_; }

    // ---- frame --------------------------------------------------------------------------------
    // One frame of `baseObject` (the scene's object root when none). Skipped while rendering
    // or without a context. Throws EOpenGLError when OpenGL reports an error (unless
    // reporting is off); the rendering flag and the activation are released first.
    void RenderFrame(TGLBaseSceneObject* baseObject = nullptr);
    void RenderScene(const TRectangle& viewport, int dpi, TGLBaseSceneObject* baseObject,
                     TDrawState drawState);
    // Projection (with the pick matrix of `pickRect` when given, then the camera's) and
    // model-view (the camera's view); both matrices are kept.
    void PrepareMatrices(const TRectangle& viewport, int dpi, const TRect* pickRect = nullptr);
    void ApplyGlobalStates();
    void ClearBuffers();
    // Loads the scene's lights into OpenGL light units 0 .. maxLights - 1.
    void SetupLights(TGLScene& scene, int maxLights);

    const TMatrix& ProjectionMatrix() const { return projectionMatrix_; }
    const TMatrix& BaseProjectionMatrix() const { return baseProjectionMatrix_; }
    const TMatrix& ModelViewMatrix() const { return modelViewMatrix_; }
    const TVector& CameraWorldPosition() const { return cameraPosition_; }
    TGLStateCache& GLStates() { return states_; }
    // Objects drawn after the tree in the current frame (the list is cleared each frame).
    void AddAfterRenderObject(TGLBaseSceneObject* obj) { afterRenderObjects_.push_back(obj); }

    // ---- timing -------------------------------------------------------------------------------
    int FrameCount() const { return frameCount_; }
    float FramesPerSecond() const { return framesPerSecond_; }
    float LastFrameTime() const { return lastFrameTime_; }
    // Zeroes the frame count and the first-frame time.
    void ResetPerformanceMonitor();

    // ---- picking (OpenGL selection mode) ------------------------------------------------------
    // The nearest object drawn in the 3 x 3 pixels around window pixel (x, y) (origin
    // top-left), or none.
    TGLBaseSceneObject* PickedObjectAt(int x, int y);
    // Every object drawn in the pixels of `rect` (corners included), nearest first. The caller
    // owns the list.
    std::unique_ptr<TGLPickList> PickRegion(const TRect& rect, int objectCountGuess = 64);
    // Fills `list` with the hits in `rect`; the selection buffer grows until every hit fits.
    // Nothing without a camera or a context.
    void CollectPickHits(const TRect& rect, TGLPickList& list, int objectCountGuess);

    // ---- events -------------------------------------------------------------------------------
    TBufferEvent BeforeRender, PostRender, AfterRender, InitiateRendering, WrapUpRendering;
    // Called after the requested bits are set on a new context, before it is created.
    std::function<void(TGLSceneBuffer*, TGLContext&)> OnSetupContext;
    // A change needing a repaint (the view invalidates itself); not fired while rendering.
    TBufferEvent OnChange;
    // A change needing a new context (the view re-creates it).
    TBufferEvent OnStructuralChange;
    // Fired before the buffer's own BeforeRender (the view's hook).
    TBufferEvent ViewerBeforeRender;

    // ---- TGLSceneBufferClient -----------------------------------------------------------------
    void NotifySceneChanged() override { NotifyChange(this); }
    void SceneDestroyed(TGLScene* scene) override;
    float CameraDepthOfView() const override;
    void NotifyChange(TGLNotifiable* sender) override;

protected:
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    void NotifyStructuralChange();
    template <class T> void Store(T& field, const T& value);
    template <class T> void StoreStructural(T& field, const T& value);
    void RenderWalk(TGLScene& scene, TGLBaseSceneObject& baseObject, TDrawState drawState,
                    std::vector<TGLBaseSceneObject*>* pickNames);
    void LeaveScene();
    // With two or more buffers on the scene, the first one's context shares its lists with
    // this one's, when the platform can make them share.
    void ShareListsWithFirstBuffer();

    TWinColor backgroundColor_ = clBtnFace;
    float backgroundAlpha_ = 1;
    TGLColor ambientColor_;
    TContextOptions contextOptions_{roDoubleBuffer, roRenderToWindow};
    bool depthTest_ = true;
    bool faceCulling_ = true;
    bool lighting_ = true;
    TGLAntiAliasing antiAliasing_ = aaDefault;
    TGLDepthPrecision depthPrecision_ = dpDefault;
    TGLColorDepth colorDepth_ = cdDefault;
    TGLShadeModel shadeModel_ = smDefault;
    bool fogEnable_ = false;
    int accumBufferBits_ = 0;
    float detailScale_ = 1;
    float resolutionScale_ = 1;
    TGLReducedTarget reducedTarget_;

    TGLCamera* camera_ = nullptr;
    TGLScene* registeredScene_ = nullptr;
    TRectangle viewport_;
    int renderDPI_ = 96;
    bool rendering_ = false;
    std::unique_ptr<TGLContext> context_;
    TGLStateCache states_;
    TMatrix projectionMatrix_ = IdentityHmgMatrix;
    TMatrix baseProjectionMatrix_ = IdentityHmgMatrix;
    TMatrix modelViewMatrix_ = IdentityHmgMatrix;
    TVector cameraPosition_{0, 0, 0, 1};
    std::vector<TGLBaseSceneObject*> afterRenderObjects_;

    int frameCount_ = 0;
    std::int64_t firstFrameTime_ = 0;
    float lastFrameTime_ = 0;
    float framesPerSecond_ = 0;
};

} // namespace hk
