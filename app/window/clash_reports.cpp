// The window's clash reports and approvals: the export menu and dialog, snapshots through the
// clash review, and the approval controls of the clash list.
#include "app/window/clash_reports.h"

#include "app/clash_report_rows.h"
#include "app/report_file.h"
#include "app/window/clash_approval_proxy.h"
#include "app/window/clash_list_window.h"
#include "app/window/clash_review.h"
#include "app/window/form1.h"
#include "app/window/scene_viewer.h"
#include "engine/camera.h"
#include "engine/vector_geometry.h"
#include "primitives/shapes/dummy_cube.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

#include <unordered_map>

namespace hk {
namespace {

std::filesystem::path PathOf(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

} // namespace

QStringList TClashReports::Filters() {
    return {QStringLiteral("JSON (*.json)"), QStringLiteral("CSV (*.csv)"),
            QStringLiteral("BCF 2.1 (*.bcf *.bcfzip)")};
}

TClashReports::TClashReports(TForm1& form, const TClashModel& clashes, TClashReview& review)
    : QObject(&form), form_(form), clashes_(clashes), review_(review) {
    setObjectName(QStringLiteral("ClashReports"));
    QAction* exportAction = form.N2->addAction(QStringLiteral("レポート出力…"));
    exportAction->setObjectName(QStringLiteral("ReportAction"));
    connect(exportAction, &QAction::triggered, this, &TClashReports::ExportWithDialog);
    AddListControls();
}

void TClashReports::AddListControls() {
    TClashListWindow& list = review_.List();
    list.Table().setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* approve = new QPushButton(QStringLiteral("承認"), &list);
    approve->setObjectName(QStringLiteral("ApproveButton"));
    auto* revoke = new QPushButton(QStringLiteral("承認取消"), &list);
    revoke->setObjectName(QStringLiteral("RevokeButton"));
    auto* showApproved = new QCheckBox(QStringLiteral("承認済を表示"), &list);
    showApproved->setObjectName(QStringLiteral("ShowApproved"));
    auto* row = new QHBoxLayout;
    row->addWidget(approve);
    row->addWidget(revoke);
    row->addWidget(showApproved);
    row->addStretch();
    if (auto* layout = qobject_cast<QBoxLayout*>(list.layout()))
        layout->addLayout(row);

    TClashApprovalProxy& proxy = list.Approvals();
    proxy.SetIsApproved([this](const TClash& clash) { return IsApproved(clash); });
    connect(showApproved, &QCheckBox::toggled, &proxy, &TClashApprovalProxy::SetShowApproved);
    connect(approve, &QPushButton::clicked, this, [this, &list] {
        if (SelectedClashes().empty())
            return;
        QInputDialog dialog(&list);
        dialog.setObjectName(QStringLiteral("ApproveDialog"));
        dialog.setWindowTitle(QStringLiteral("承認"));
        dialog.setLabelText(QStringLiteral("コメント（省略可）"));
        if (dialog.exec() == QDialog::Accepted)
            ApproveSelected(dialog.textValue());
    });
    connect(revoke, &QPushButton::clicked, this, &TClashReports::RevokeSelected);
}

void TClashReports::ExportWithDialog() {
    if (!dialog_) {
        dialog_ = new QFileDialog(&form_, QStringLiteral("レポート出力"));
        dialog_->setObjectName(QStringLiteral("ReportDialog1"));
        dialog_->setAcceptMode(QFileDialog::AcceptSave);
        dialog_->setFileMode(QFileDialog::AnyFile);
        dialog_->setNameFilters(Filters());
        dialog_->setDefaultSuffix(QStringLiteral("json"));
        // A name typed without an extension takes the chosen format's.
        connect(dialog_, &QFileDialog::filterSelected, dialog_, [this](const QString& filter) {
            const int format = int(Filters().indexOf(filter));
            dialog_->setDefaultSuffix(format == 1   ? QStringLiteral("csv")
                                      : format == 2 ? QStringLiteral("bcf")
                                                    : QStringLiteral("json"));
        });
    }
    const std::filesystem::path drawing = form_.Document().dataFileName;
    dialog_->setDirectory(QFile::decodeName(drawing.parent_path().string().c_str()));
    dialog_->selectFile(QFile::decodeName((drawing.stem().string() + "-clashes").c_str()));
    if (dialog_->exec() != QDialog::Accepted || dialog_->selectedFiles().isEmpty())
        return;
    const QString file = dialog_->selectedFiles().front();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string problem = Export(PathOf(file));
    QApplication::restoreOverrideCursor();
    if (!problem.empty())
        QMessageBox::warning(&form_, TForm1::Title(), QString::fromStdString(problem));
    else
        form_.StatusBar1->showMessage(QStringLiteral("レポートを書き出しました: %1").arg(file));
}

std::string TClashReports::Export(const std::filesystem::path& path) {
    const TClashReport report = MakeClashReport(form_.Document(), clashes_, Approvals());
    const TBcfView view = CurrentView();
    TSnapshotSource snapshot;
    std::unordered_map<std::string, const TClash*> byId;
    if (ReportFormatFor(path) == TReportFormat::bcf) {
        for (const TClash& clash : clashes_.Rows())
            byId.emplace(ClashIdOf(clash), &clash);
        snapshot = [&](const TReportClash& row) {
            auto it = byId.find(row.id);
            return it == byId.end() ? std::string() : PngBytes(review_.RenderClash(*it->second));
        };
    }
    return WriteReport(path, report, view, snapshot);
}

const TClashApprovals& TClashReports::Approvals() {
    const std::filesystem::path drawing = form_.Document().dataFileName;
    if (!approvalsRead_ || drawing != approvalsFor_) {
        approvalsRead_ = true;
        approvalsFor_ = drawing;
        approvals_ = TClashApprovals::Load(TClashApprovals::FileFor(drawing));
        if (!approvals_.Problem().empty())
            form_.StatusBar1->showMessage(QString::fromStdString(approvals_.Problem()));
    }
    return approvals_;
}

bool TClashReports::IsApproved(const TClash& clash) {
    return Approvals().Find(ClashIdOf(clash)) != nullptr;
}

std::vector<TClash> TClashReports::SelectedClashes() const {
    TClashListWindow& list = review_.List();
    std::vector<TClash> clashes;
    for (const QModelIndex& index : list.Table().selectionModel()->selectedRows())
        if (const TClash* clash = list.ClashAtViewRow(index.row()))
            clashes.push_back(*clash);
    return clashes;
}

void TClashReports::ApproveSelected(const QString& comment) {
    Approvals();
    const std::string at = IsoUtcNow();
    for (const TClash& clash : SelectedClashes())
        approvals_.Approve({ClashIdOf(clash), comment.toStdString(), CurrentUserName(), at});
    SaveApprovals();
}

void TClashReports::RevokeSelected() {
    Approvals();
    for (const TClash& clash : SelectedClashes())
        approvals_.Revoke(ClashIdOf(clash));
    SaveApprovals();
}

void TClashReports::SaveApprovals() {
    const std::string problem = approvals_.Save();
    review_.List().Approvals().ApprovalsChanged();
    if (!problem.empty())
        QMessageBox::warning(&review_.List(), TForm1::Title(), QString::fromStdString(problem));
}

// The camera's place relative to the point it looks at, in the model root's axes, which are
// the data file's.
TBcfView TClashReports::CurrentView() const {
    TGLBaseSceneObject& root = *form_.Fixed.GLDummyCube1;
    const TMatrix& toModel = root.InverseWorldMatrix();
    const TVector eye = TransformVector(form_.Fixed.GLCamera2->WorldPosition(), toModel);
    const TVector target = TransformVector(form_.Fixed.DummyCube1->WorldPosition(), toModel);
    TBcfView view;
    view.direction = {eye.x - target.x, eye.y - target.y, eye.z - target.z};
    view.fieldOfView = form_.GLSceneViewer1->FieldOfView();
    return view;
}

} // namespace hk
