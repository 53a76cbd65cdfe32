// TClashReview: the clash review of the main window. It owns the list window "衝突一覧"
// (menu "衝突", Ctrl+L) over the window's clash model and turns a selected clash into the
// highlight of both objects, markers on their closest points, a view framed on the clash and
// the two items' pick details in the message area; it also adds "全体表示" (Home) and
// "衝突判定の設定…" to the menu "設定".
#pragma once

#include "app/clash_highlight.h"
#include "app/clash_markers.h"
#include "app/clash_model.h"

#include <QImage>
#include <QObject>

#include <optional>
#include <vector>

namespace hk {

class TClashListWindow;
class TClashSettingsDialog;
class TForm1;

class TClashReview : public QObject {
    Q_OBJECT
public:
    // `form` has built its menus, view and scene; `clashes` is the model its collision cycle
    // feeds. Both outlive the review.
    TClashReview(TForm1& form, TClashModel& clashes);
    ~TClashReview() override;

    // After every collision cycle: the list follows the model.
    void PassDone();
    // Around every scene build: the highlight leaves the objects that go and comes back on
    // the new ones; the model indexes the new items.
    void BeforeBuild();
    void AfterBuild();
    // Before a reload's build: the clashes of the last pass become the baseline. The
    // highlight waits for the next pass, whose rows name the reloaded drawing's lines.
    void BeforeReload();

    // Shows the list window and brings it to the front.
    void ShowList();
    // "衝突判定の設定…": the dialog, then ApplyClashSettings when it is accepted.
    void EditClashSettings();
    // Judges the clashes of the last pass again with `settings`; the list follows.
    void ApplyClashSettings(const TClashSettings& settings);
    // "全体表示".
    void FitAll();

    // The view of a clash as selecting it shows it, highlighted and framed, rendered into an
    // image; the highlight and the camera are then given back and nothing is written to the
    // message area (report snapshots).
    QImage RenderClash(const TClash& clash);

    TClashListWindow& List() { return *list_; }
    std::vector<int> HighlightedLines() const { return highlight_.HighlightedLines(); }
    const TClashMarkers& Markers() const { return markers_; }

private:
    void Select(const std::optional<TClash>& clash, bool byUser);
    // The highlight and the markers of a clash; none, or a resolved one, shows nothing.
    void Show(const std::optional<TClash>& clash);
    void Frame(const TClash& clash);
    float TanHalfView() const;

    TForm1& form_;
    TClashModel& clashes_;
    TClashHighlight highlight_;
    TClashMarkers markers_;
    TClashSettingsDialog* settingsDialog_ = nullptr; // made on first use, a child of the form
    TClashListWindow* list_ = nullptr;               // a child of the form
    bool reselect_ = false; // highlight the selection again after the next pass
    bool placed_ = false;   // the list has been put beside the form once
};

} // namespace hk
