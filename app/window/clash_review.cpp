// The clash review: list window, highlight, framing and "全体表示".
#include "app/window/clash_review.h"

#include "app/details.h"
#include "app/object_box.h"
#include "app/scene_builder.h"
#include "app/view_framing.h"
#include "app/window/clash_list_window.h"
#include "app/window/clash_settings_dialog.h"
#include "app/window/form1.h"
#include "app/window/scene_viewer.h"
#include "engine/camera.h"
#include "engine/scene_buffer.h"
#include "engine/vector_geometry.h"
#include "primitives/shapes/dummy_cube.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace hk {
namespace {

// The view of a resolved clash, whose objects are gone: this many data units around it.
constexpr double cResolvedViewSize = 2000;

// The narrowest the list may become to stand beside the main window.
constexpr int cNarrowestBeside = 480;

// Puts `window` beside `main` on main's screen, on the side with more room, narrowed to that
// room where needed, its top level with main's. Where neither side has cNarrowestBeside
// pixels, the window system places it.
void PlaceBeside(QWidget& window, const QWidget& main) {
    const QScreen* screen = main.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = main.frameGeometry();
    const int right = area.right() - frame.right();
    const int left = frame.left() - area.left();
    const int room = std::max(left, right);
    if (room < cNarrowestBeside)
        return;
    const int decoration = window.frameGeometry().width() - window.width();
    const int width = std::min(window.frameGeometry().width(), room);
    window.resize(width - decoration, window.height());
    const int x = right >= left ? frame.right() + 1 : frame.left() - width;
    const int height = window.frameGeometry().height();
    const int y =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - height));
    window.move(x, y);
}

} // namespace

TClashReview::TClashReview(TForm1& form, TClashModel& clashes)
    : QObject(&form), form_(form), clashes_(clashes), highlight_(*form.Fixed.GLDummyCube1),
      markers_(*form.Fixed.DummyCube1, *form.Fixed.GLDummyCube1) {
    setObjectName(QStringLiteral("ClashReview"));
    list_ = new TClashListWindow(clashes_, &form);
    connect(list_, &TClashListWindow::SelectionChanged, this, &TClashReview::Select);
    connect(list_, &TClashListWindow::Activated, this, [this](const std::optional<TClash>& c) {
        if (c)
            Frame(*c);
    });
    connect(list_, &TClashListWindow::DimOthersToggled, this, [this](bool on) {
        highlight_.SetDimOthers(on);
        form_.GLSceneViewer1->update();
    });

    QAction* showList = form.N2->addAction(QStringLiteral("衝突一覧"));
    showList->setObjectName(QStringLiteral("ClashListAction"));
    showList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    showList->setShortcutContext(Qt::ApplicationShortcut);
    connect(showList, &QAction::triggered, this, &TClashReview::ShowList);

    QAction* fitAll = form.N3->addAction(QStringLiteral("全体表示"));
    fitAll->setObjectName(QStringLiteral("FitAllAction"));
    fitAll->setShortcut(QKeySequence(Qt::Key_Home));
    connect(fitAll, &QAction::triggered, this, &TClashReview::FitAll);

    QAction* settings = form.N3->addAction(QStringLiteral("衝突判定の設定…"));
    settings->setObjectName(QStringLiteral("ClashSettingsAction"));
    connect(settings, &QAction::triggered, this, &TClashReview::EditClashSettings);

    // The markers keep their size on screen and follow the model root as it is panned.
    form.GLSceneViewer1->Buffer().BeforeRender = [this](TGLSceneBuffer* buffer) {
        const TRectangle& vp = buffer->Viewport();
        const int side = std::min(vp.Width, vp.Height);
        if (side <= 0)
            return;
        const float tanHalf = hk::TanHalfView(*form_.Fixed.GLCamera2, float(side), 96);
        markers_.Fit(form_.Fixed.GLCamera2->WorldPosition().Affine(), 2 * tanHalf / float(side));
    };
}

TClashReview::~TClashReview() = default;

void TClashReview::PassDone() {
    list_->Refresh();
    if (reselect_) {
        reselect_ = false;
        Select(list_->Selected(), false);
    }
}

void TClashReview::BeforeBuild() {
    highlight_.BeforeRebuild();
}

void TClashReview::AfterBuild() {
    clashes_.IndexItems(form_.Document());
    highlight_.AfterRebuild();
}

void TClashReview::BeforeReload() {
    clashes_.TakeBaseline();
    highlight_.Clear();
    markers_.Hide();
    reselect_ = true;
}

void TClashReview::ShowList() {
    if (!placed_) {
        PlaceBeside(*list_, form_);
        placed_ = true;
    }
    list_->show();
    list_->raise();
    list_->activateWindow();
}

void TClashReview::EditClashSettings() {
    if (!settingsDialog_)
        settingsDialog_ = new TClashSettingsDialog(&form_);
    settingsDialog_->SetSettings(clashes_.ClashSettings());
    if (settingsDialog_->exec() == QDialog::Accepted)
        ApplyClashSettings(settingsDialog_->Settings());
}

void TClashReview::ApplyClashSettings(const TClashSettings& settings) {
    clashes_.SetClashSettings(settings);
    clashes_.Rejudge();
    list_->Refresh();
}

void TClashReview::FitAll() {
    FrameAll({form_.Fixed.DummyCube1, form_.Fixed.GLCamera2, form_.Fixed.GLDummyCube1},
             TanHalfView());
    form_.GLSceneViewer1->update();
}

// A resolved clash names lines of the drawing before the reload: nothing of it is highlighted
// or detailed, the view only goes to its place.
void TClashReview::Select(const std::optional<TClash>& clash, bool byUser) {
    const bool current = clash && clash->status != TClashStatus::csResolved;
    Show(clash);
    if (clash && byUser) {
        Frame(*clash);
        if (current) {
            ShowPickDetails(form_.Document(), clash->a.lineNo, form_.MessageLog());
            ShowPickDetails(form_.Document(), clash->b.lineNo, form_.MessageLog());
        }
    }
    form_.GLSceneViewer1->update();
}

void TClashReview::Show(const std::optional<TClash>& clash) {
    const bool current = clash && clash->status != TClashStatus::csResolved;
    highlight_.Select(current ? clash->a.lineNo : 0, current ? clash->b.lineNo : 0);
    if (!current) {
        markers_.Hide();
        return;
    }
    const TDocument& doc = form_.Document();
    const auto map = [&doc](const std::array<double, 3>& p) {
        return TAffineVector{MapCoordinate(doc, 0, p[0]), MapCoordinate(doc, 1, p[1]),
                             MapCoordinate(doc, 2, p[2])};
    };
    markers_.Show(map(clash->nearA), map(clash->nearB));
}

// Target on the clash point; both highlighted objects' boxes fill about half the view.
void TClashReview::Frame(const TClash& clash) {
    const TDocument& doc = form_.Document();
    const TAffineVector point{MapCoordinate(doc, 0, clash.point[0]),
                              MapCoordinate(doc, 1, clash.point[1]),
                              MapCoordinate(doc, 2, clash.point[2])};
    TGLBaseSceneObject& root = *form_.Fixed.GLDummyCube1;
    const std::vector<int> lines = highlight_.HighlightedLines();
    TAABB box = EmptyBox();
    for (int i = 0; i < root.Count(); ++i)
        if (std::find(lines.begin(), lines.end(), root.Children(i)->Tag()) != lines.end())
            box = AABBUnion(box, ObjectBox(*root.Children(i)));
    float radius = float(cResolvedViewSize / 2 / std::max(doc.loadScale, 1));
    if (box.min.x <= box.max.x)
        radius = VectorLength(VectorSubtract(box.max, box.min)) / 2;
    FramePoint({form_.Fixed.DummyCube1, form_.Fixed.GLCamera2, form_.Fixed.GLDummyCube1}, point,
               radius, TanHalfView());
    form_.GLSceneViewer1->update();
}

QImage TClashReview::RenderClash(const TClash& clash) {
    TGLBaseSceneObject& root = *form_.Fixed.GLDummyCube1;
    TGLCamera& camera = *form_.Fixed.GLCamera2;
    const TVector rootAt = root.Position().AsVector();
    const TVector cameraAt = camera.Position().AsVector();
    Show(clash);
    Frame(clash);
    QImage image = form_.GLSceneViewer1->RenderToImage();
    Show(list_->Selected());
    root.Position().SetAsVector(rootAt);
    camera.Position().SetAsVector(cameraAt);
    form_.GLSceneViewer1->update();
    return image;
}

float TClashReview::TanHalfView() const {
    const TRectangle& vp = form_.GLSceneViewer1->Buffer().Viewport();
    const int side = std::min(vp.Width, vp.Height);
    return hk::TanHalfView(*form_.Fixed.GLCamera2, float(side > 0 ? side : 1), 96);
}

} // namespace hk
