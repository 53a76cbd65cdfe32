// TForm1, the viewer's one main window: the controls of the left panel, the 3D view, the right
// panel, the log pane, the menus, timers and dialogs, and the start-up and close sequences.
// The window only hands control values to the window-free core in app/ and shows its results.
#pragma once

#include "app/clash_model.h"
#include "app/document.h"
#include "app/settings.h"
#include "app/viewer_scene.h"
#include "app/window/memo_message_log.h"
#include "app/window/start_options.h"
#include "script/material_scripter.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QCheckBox;
class QCloseEvent;
class QColorDialog;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSlider;
class QStatusBar;
class QTimer;

namespace hk {

class TCollisionLamp;
class TClashReview;
class TCollisionCheck;
class TGLSceneViewer;
class TWindowGrids;
class TFileActions;
class TLoadNotices;
class TMessagePane;
class TViewInput;
class TStringGrid;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Shows an error to the user (UTF-8 text). The default is a modal message box.
    using ErrorReporter = std::function<void(const QString& message)>;

    // The caption of the window and the name of the application.
    static QString Title();

    // programDir is the program's folder: it becomes the current directory and holds the
    // settings file, the colour rules and the material script. Empty means the folder of the
    // running executable. Runs FormCreate before returning; errors of the start-up (an
    // unreadable settings file, a data file that does not convert) go to reportError and leave
    // the window open with what was read so far.
    // `start` overrides parts of the settings file for this run (the screenshot mode).
    explicit TForm1(const QString& programDir = QString(), ErrorReporter reportError = {},
                    QWidget* parent = nullptr, const TStartOptions& start = {});
    ~TForm1() override;

    QString ProgramDir() const { return programDir_; }

    // The window-free state shown by this window, and the log pane as the message area.
    TDocument& Document() { return *document_; }
    const TDocument& Document() const { return *document_; }
    TMessageLog& MessageLog() { return *log_; }

    // Controls, owned by the window through Qt's parent tree and named as the window's
    // design names them (objectName equals the member name).
    QFrame* Panel1 = nullptr;
    TCollisionLamp* Shape1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* LATime = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

    TGLSceneViewer* GLSceneViewer1 = nullptr;
    // The scene the view shows with its fixed objects (the scene owns them), the material
    // libraries and CollisionManager1.
    TViewerScene Fixed;

    QFrame* Panel2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    TMessagePane* Memo1 = nullptr;
    TStringGrid* StringGrid2 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QSlider* TrackBar2 = nullptr;

    QFrame* Splitter1 = nullptr;
    TMessagePane* Memo2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QMenu* N1 = nullptr;
    QMenu* N2 = nullptr;
    QMenu* N3 = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;

    // The dialogs are made on first use and then kept by the window.
    QColorDialog* ColorDialog1();
    QFileDialog* OpenDialog1();

    // The group and item grids with their selection, the buttons "全件表示" and "全件非表示" and
    // the marker clicks on the panels.
    TWindowGrids& Grids() { return *grids_; }

    // The notices' count in the status bar and their list under "読込メッセージ".
    TLoadNotices& LoadNotices() { return *loadNotices_; }

    // The review of the collision cycle's clashes: list window, highlight, framing.
    TClashReview& ClashReview() { return *clashReview_; }

    // The index (0 to 4) of the checked bounding-mode button of RadioGroup1, -1 when none is.
    int RadioGroup1ItemIndex() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Timer1Timer();
    void CheckBox1Click();
    void Timer2Timer();
    void Timer3Timer();

private:
    void BuildLayout();
    void BuildLeftPanel();
    void BuildRightPanel();
    void BuildMenus();
    void BuildTimers();
    void CentreOnScreen();

    void FormCreate();
    void FormShow();
    void FormClose();
    void RunMaterialScript();
    void BuildScene();
    void FillGroupGrid();
    void SetUpGrids();
    void ReportError(const QString& message) const;

    QString programDir_;
    TStartOptions start_;
    ErrorReporter reportError_;
    std::unique_ptr<TDocument> document_;
    std::unique_ptr<TMemoMessageLog> log_;
    std::unique_ptr<TMemoMessageLog> scriptLog_;
    std::unique_ptr<TLoadNotices> loadNotices_;
    // The two material scripters, both appending to their library without overwriting; the
    // second runs "script1.txt" into GLMaterialLibrary2 and writes to the script pane, so it is
    // declared after the pane and goes first.
    TGLMaterialScripter GLMaterialScripter1;
    TGLMaterialScripter GLMaterialScripter2;
    std::unique_ptr<TWindowGrids> grids_;
    // Fed by collisionCheck_, so declared before it.
    TClashModel clashes_;
    std::unique_ptr<TCollisionCheck> collisionCheck_;
    // Navigation and picking of the view, and the reload controls; declared after Fixed and
    // the document, which they act on, so that they go first.
    std::unique_ptr<TViewInput> viewInput_;
    std::unique_ptr<TFileActions> fileActions_;
    // A child of the form through Qt; set before the first build.
    TClashReview* clashReview_ = nullptr;
    bool shown_ = false;
    QColorDialog* colorDialog_ = nullptr;
    QFileDialog* openDialog_ = nullptr;
};

} // namespace hk
