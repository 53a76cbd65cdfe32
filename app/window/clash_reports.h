// TClashReports: the clash reports and approvals of the main window. It adds "レポート出力…" to
// the menu "衝突" (a save dialog offering JSON, CSV and BCF; a BCF topic carries a snapshot of
// its clash framed in the view) and, under the clash list, "承認", "承認取消" and the toggle
// "承認済を表示". Approvals go to the drawing's approvals file at once, so they outlive the
// window.
#pragma once

#include "app/clash_approvals.h"
#include "app/clash_model.h"
#include "app/report_bcf.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

class QCheckBox;
class QFileDialog;
class QPushButton;

namespace hk {

class TClashReview;
class TForm1;

class TClashReports : public QObject {
    Q_OBJECT
public:
    // The save dialog's filters: JSON, CSV and BCF 2.1, in this order.
    static QStringList Filters();

    // `form` has built its menus and its clash review; both outlive this object, a child of
    // the form named "ClashReports".
    TClashReports(TForm1& form, const TClashModel& clashes, TClashReview& review);

    // "レポート出力…": asks for a file and writes the report there; a failure is shown to the
    // user, who asked for the file.
    void ExportWithDialog();
    // Writes the report of the last pass to path (format by extension), with a snapshot per
    // BCF topic. Returns an empty string or what went wrong (UTF-8, naming the file).
    std::string Export(const std::filesystem::path& path);

    // The approvals of the drawing in use, read again when another drawing comes in. A
    // damaged file is named in the status bar.
    const TClashApprovals& Approvals();
    bool IsApproved(const TClash& clash);

    // "承認" with a comment (may be empty) and "承認取消" on the clashes selected in the list;
    // both save the approvals file at once.
    void ApproveSelected(const QString& comment);
    void RevokeSelected();

private:
    void AddListControls();
    std::vector<TClash> SelectedClashes() const;
    void SaveApprovals();
    TBcfView CurrentView() const;

    TForm1& form_;
    const TClashModel& clashes_;
    TClashReview& review_;
    TClashApprovals approvals_;
    std::filesystem::path approvalsFor_; // the drawing approvals_ was read for
    bool approvalsRead_ = false;
    QFileDialog* dialog_ = nullptr;
};

} // namespace hk
