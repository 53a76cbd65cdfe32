// Start-up, first showing and closing of the main window, and its timers. The window-free core
// does the reading and writing; the window hands it the controls' values and shows the results.
#include "app/window/form1.h"
#include "app/window/message_pane.h"

#include "app/collision_report.h"
#include "app/details.h"
#include "app/error_text.h"
#include "app/group_grid_model.h"
#include "app/item_grid_model.h"
#include "app/scene_builder.h"
#include "app/script_check.h"
#include "app/window/clash_reports.h"
#include "app/window/clash_review.h"
#include "app/window/collision_lamp.h"
#include "app/window/file_actions.h"
#include "app/window/fixed_scene.h"
#include "app/window/grids.h"
#include "app/window/load_notices.h"
#include "app/window/memo_message_log.h"
#include "app/window/qt_sjis.h"
#include "app/window/scene_viewer.h"
#include "app/window/string_grid.h"
#include "app/window/view_input.h"
#include "engine/context.h"
#include "engine/errors.h"
#include "primitives/quadrics/sphere.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColor>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <filesystem>

namespace hk {

namespace {

std::filesystem::path ToPath(const QString& dir) {
    return std::filesystem::path(dir.toStdString());
}

} // namespace

QString TForm1::Title() {
    return QStringLiteral("配管配筋ビューワー");
}

TForm1::TForm1(const QString& programDir, ErrorReporter reportError, QWidget* parent,
               const TStartOptions& start)
    : QMainWindow(parent),
      programDir_(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir),
      start_(start), reportError_(std::move(reportError)),
      document_(std::make_unique<TDocument>()) {
    setObjectName(QStringLiteral("Form1"));
    BuildLayout();
    GLSceneViewer1->Buffer().SetBackgroundColor(cViewerBackgroundColor);
    GLSceneViewer1->SetCamera(Fixed.GLCamera2);
    GLSceneViewer1->SetErrorReporter([this](const QString& message) { ReportError(message); });
    log_ = std::make_unique<TMemoMessageLog>(*Memo2);
    loadNotices_ = std::make_unique<TLoadNotices>(*this);
    log_->SetNoticesChanged([this] { loadNotices_->Update(); });
    scriptLog_ = std::make_unique<TMemoMessageLog>(*Memo1);
    SetUpGrids();
    collisionCheck_ = std::make_unique<TCollisionCheck>(Fixed.CollisionManager1, *log_, &clashes_);
    clashReview_ = new TClashReview(*this, clashes_);
    new TClashReports(*this, clashes_, *clashReview_);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    viewInput_ = std::make_unique<TViewInput>(*this, [this](const TGLBaseSceneObject& picked) {
        ShowPickDetails(*document_, PickedDataLine(*document_, Fixed, picked), *log_);
    });
    TReloadSteps reload;
    reload.BuildScene = [this] {
        clashReview_->BeforeReload();
        BuildScene();
    };
    reload.FillGroupGrid = [this] { FillGroupGrid(); };
    reload.Repaint = [this] { GLSceneViewer1->update(); };
    reload.ReportError = [this](const std::string& message) { ReportError(FromUtf8(message)); };
    reload.ShowWatchStatus = [this](const std::string& line) {
        StatusBar1->showMessage(FromUtf8(line));
    };
    fileActions_ = std::make_unique<TFileActions>(*this, std::move(reload));
    CentreOnScreen();
    FormCreate();
}

TForm1::~TForm1() {
    // The view frees its context, and the scene's display lists with it current, while the
    // scene still exists.
    delete GLSceneViewer1;
    GLSceneViewer1 = nullptr;
}

QColorDialog* TForm1::ColorDialog1() {
    if (!colorDialog_) {
        colorDialog_ = new QColorDialog(this);
        colorDialog_->setObjectName(QStringLiteral("ColorDialog1"));
    }
    return colorDialog_;
}

QFileDialog* TForm1::OpenDialog1() {
    if (!openDialog_) {
        openDialog_ = new QFileDialog(this);
        openDialog_->setObjectName(QStringLiteral("OpenDialog1"));
        openDialog_->setFileMode(QFileDialog::ExistingFile);
        openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    }
    return openDialog_;
}

int TForm1::RadioGroup1ItemIndex() const {
    const auto buttons = RadioGroup1->findChildren<QRadioButton*>();
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked()) {
            return i;
        }
    }
    return -1;
}

void TForm1::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    // A screen smaller than the window keeps the caption reachable at the top left.
    move(std::max(frame.left(), area.left()), std::max(frame.top(), area.top()));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TForm1::ReportError(const QString& message) const {
    if (reportError_) {
        reportError_(message);
        return;
    }
    QMessageBox::critical(const_cast<TForm1*>(this), Title(), message);
}

void TForm1::FormCreate() {
    document_->dataFileName.clear();
    scriptLog_->SetFirstLine("Script");
    if (start_.noInitialise) {
        CheckBox2->setChecked(false);
    }
    const bool initialise = CheckBox2->isChecked();
    TStartUpSettings settings;
    try {
        settings = ReadStartUpSettings(*document_, ToPath(programDir_), initialise,
                                       QFile::encodeName(start_.rulesFile).toStdString());
    } catch (const std::exception& e) {
        // Without its folder the program finds none of its files: nothing more to load.
        ReportError(FromUtf8(ErrorText(e)));
        return;
    }
    Edit1->setText(FromSjis(settings.scaleBoxText));
    clashes_.SetClashSettings(settings.clash);
    if (!start_.dataFile.isEmpty()) {
        // A path, held as the file system's bytes like every data file name.
        document_->dataFileName = QFile::encodeName(start_.dataFile).toStdString();
    }
    if (!start_.loadScale.isEmpty()) {
        Edit1->setText(start_.loadScale);
    }

    RunMaterialScript();
    try {
        LoadStartUpData(*document_, settings, ToSjis(Edit1->text()), initialise, *log_);
    } catch (const Exception& e) {
        ReportError(FromUtf8(ErrorText(e)));
    }
    if (start_.showAll) {
        SetAllGroupsShown(*document_, true);
    }
    BuildScene();
    FillGroupGrid();
    Fixed.GLSphere1->SetVisible(false);
}

void TForm1::FormShow() {}

void TForm1::FormClose() {
    try {
        WriteSettingsAtClose(*document_, ToPath(programDir_), ToSjis(Edit1->text()),
                             &clashes_.ClashSettings());
    } catch (const Exception& e) {
        // The window still closes: the file on disk keeps its previous contents.
        ReportError(FromUtf8(ErrorText(e)));
    }
}

// Runs "script1.txt" of the program's folder into GLMaterialLibrary2; an error is shown and
// start-up goes on.
void TForm1::RunMaterialScript() {
    const std::string error = RunStartupMaterialScript(
        ToPath(programDir_), Fixed.GLMaterialLibrary2, GLMaterialScripter2, *scriptLog_);
    if (!error.empty())
        ReportError(FromUtf8(error));
}

// Relative model names are found beside the drawing, then in the program's folder. Freeing the old
// objects deletes their display lists, which live in the view's context: it is made current
// for the rebuild, so that no list is left behind in the driver.
void TForm1::BuildScene() {
    TGLContext* context = GLSceneViewer1->Buffer().RenderingContext();
    if (context != nullptr)
        context->Activate();
    clashReview_->BeforeBuild();
    hk::BuildScene(*document_, Fixed, *log_, ToPath(programDir_));
    clashReview_->AfterBuild();
    if (context != nullptr)
        context->Deactivate();
    GLSceneViewer1->DrawNextFrameCoarse();
}

void TForm1::SetUpGrids() {
    TWindowGrids::TActions actions;
    actions.buildScene = [this] {
        BuildScene();
        GLSceneViewer1->update();
    };
    actions.fillGroupGrid = [this] { FillGroupGrid(); };
    actions.showMarker = [this](bool shown) {
        Fixed.GLSphere1->SetVisible(shown);
        GLSceneViewer1->update();
    };
    actions.placeMarker = [this](const std::array<double, 3>& p) {
        Fixed.GLSphere1->Position().SetPoint(MapCoordinate(*document_, 0, p[0]),
                                             MapCoordinate(*document_, 1, p[1]),
                                             MapCoordinate(*document_, 2, p[2]));
    };
    actions.chooseColour = [this](TGridColour& colour) {
        QColorDialog* dialog = ColorDialog1();
        dialog->setCurrentColor(QColor(colour.r, colour.g, colour.b));
        if (dialog->exec() != QDialog::Accepted)
            return false;
        const QColor chosen = dialog->selectedColor();
        colour = {std::uint8_t(chosen.red()), std::uint8_t(chosen.green()),
                  std::uint8_t(chosen.blue())};
        return true;
    };
    actions.focusView = [this] { GLSceneViewer1->setFocus(); };
    grids_ = std::make_unique<TWindowGrids>(*StringGrid1, *StringGrid2, *document_, *log_,
                                            std::move(actions));
    grids_->WatchPanels(*Panel1, *Panel2);
    connect(Button1, &QPushButton::clicked, this, [this] { grids_->ShowAll(); });
    connect(Button2, &QPushButton::clicked, this, [this] { grids_->HideAll(); });
}

void TForm1::FillGroupGrid() {
    const TGroupGridModel model = hk::FillGroupGrid(*document_);
    StringGrid1->SetRowCount(model.RowCount());
    for (int row = 0; row < model.RowCount(); ++row)
        for (int col = 0; col < cGroupGridColumns; ++col)
            StringGrid1->SetCell(col, row,
                                 FromSjis(model.rows[std::size_t(row)][std::size_t(col)]));
    for (int col = 0; col < cGroupGridColumns; ++col)
        StringGrid1->SetColWidth(col, model.colWidths[std::size_t(col)]);
}

void TForm1::CheckBox1Click() {
    if (CheckBox1->isChecked())
        Timer1->start();
    else
        Timer1->stop();
}

// One collision cycle; the timer is re-armed only after it, so cycles never overlap and run
// 100 ms apart. The report handler writes into the log pane during the pass.
void TForm1::Timer1Timer() {
    Timer1->stop();
    const TCollisionCycleResult result = collisionCheck_->RunCycle();
    LATime->setText(QString::fromStdString(result.timeText));
    Shape1->SetFillColor(QColor(result.lamp.red, result.lamp.green, result.lamp.blue));
    clashReview_->PassDone();
    if (CheckBox1->isChecked())
        Timer1->start();
}

void TForm1::Timer2Timer() {
    fileActions_->Timer2Timer();
}

void TForm1::Timer3Timer() {
    viewInput_->Timer3Timer();
}

} // namespace hk
