// Construction of the main window's controls: the fixed-width side panels with their controls
// at absolute positions, the 3D view that takes the remaining width, the log pane across the
// bottom, the status bar, the menus and the timers.
#include "app/window/collision_lamp.h"
#include "app/window/form1.h"
#include "app/window/message_pane.h"
#include "app/window/scene_viewer.h"
#include "app/window/string_grid.h"
#include "app/window/window_fonts.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace hk {

namespace {

constexpr int cFormWidth = 1127;
constexpr int cFormHeight = 972;
constexpr int cFormBorder = 3;
constexpr int cLeftPanelWidth = 201;
constexpr int cRightPanelWidth = 176;
constexpr int cSplitterWidth = 4;
constexpr int cLogPaneHeight = 94;
constexpr int cButtonHeight = 25;
constexpr int cCheckBoxHeight = 17;
constexpr int cTrackBarHeight = 45;
constexpr int cEditHeight = 21;
constexpr int cLabelHeight = 13;

template <class W> W* Place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        int w) {
    return Place(new QPushButton(caption, parent), name, x, y, w, cButtonHeight);
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        int w, bool checked) {
    auto* box = Place(new QCheckBox(caption, parent), name, x, y, w, cCheckBoxHeight);
    box->setChecked(checked);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int x, int y) {
    auto* label = new QLabel(caption, parent);
    label->adjustSize();
    return Place(label, name, x, y, label->width(), cLabelHeight);
}

QSlider* MakeTrackBar(QWidget* parent, const char* name, int x, int y, int w, int min, int max,
                      int position, int step) {
    auto* bar = Place(new QSlider(Qt::Horizontal, parent), name, x, y, w, cTrackBarHeight);
    bar->setRange(min, max);
    bar->setSingleStep(step);
    // Paging and tick marks at a tenth of the range keep the long transparency bar usable.
    bar->setPageStep(std::max(step, (max - min) / 10));
    bar->setTickInterval(std::max(step, (max - min) / 10));
    bar->setValue(position);
    bar->setTickPosition(QSlider::TicksBelow);
    return bar;
}

TMessagePane* MakeMemo(QWidget* parent, const char* name) {
    auto* memo = new TMessagePane(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}

QFrame* MakePanel(QWidget* parent, const char* name, int width) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedWidth(width);
    return panel;
}

} // namespace

void TForm1::BuildLayout() {
    setFont(FormFont());
    setWindowTitle(Title());
    resize(cFormWidth, cFormHeight);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(cFormBorder, cFormBorder, cFormBorder, cFormBorder);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    column->addLayout(row, 1);

    Panel1 = MakePanel(client, "Panel1", cLeftPanelWidth);
    BuildLeftPanel();
    row->addWidget(Panel1);

    GLSceneViewer1 = new TGLSceneViewer(client);
    GLSceneViewer1->setObjectName(QStringLiteral("GLSceneViewer1"));
    // A click in the view takes the keyboard from the scale box, so that Home and the number
    // keys reach the view's shortcuts.
    GLSceneViewer1->setFocusPolicy(Qt::ClickFocus);
    row->addWidget(GLSceneViewer1, 1);

    Panel2 = MakePanel(client, "Panel2", cRightPanelWidth);
    BuildRightPanel();
    row->addWidget(Panel2);

    // A splitter at the very edge has no neighbour on its right to resize: it only shows the
    // split cursor, as the window always had.
    Splitter1 = new QFrame(client);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setFixedWidth(cSplitterWidth);
    Splitter1->setCursor(Qt::SplitHCursor);
    row->addWidget(Splitter1);

    Memo2 = MakeMemo(client, "Memo2");
    Memo2->setFont(LogPaneFont());
    Memo2->setFixedHeight(cLogPaneHeight);
    column->addWidget(Memo2);

    setCentralWidget(client);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);

    BuildMenus();
    BuildTimers();
}

void TForm1::BuildLeftPanel() {
    Shape1 = Place(new TCollisionLamp(Panel1), "Shape1", 88, 10, 25, 25);
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("Collision test:"), 8, 8);
    LATime = Place(new QLabel(QStringLiteral("LATime"), Panel1), "LATime", 8, 24, 73, cLabelHeight);
    LATime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    RadioGroup1 = Place(new QGroupBox(Panel1), "RadioGroup1", 8, 56, 185, 105);
    auto* modeColumn = new QVBoxLayout(RadioGroup1);
    const char* const names[] = {"cbmPoint", "cbmSphere", "cbmEllipsoid", "cbmCube", "cbmFaces"};
    for (int i = 0; i < 5; ++i) {
        auto* button = new QRadioButton(QString::fromLatin1(names[i]), RadioGroup1);
        button->setChecked(i == 4);
        modeColumn->addWidget(button);
    }
    RadioGroup1->hide();

    StringGrid1 =
        Place(new TStringGrid({5, 6, 1, 1, 28, 18}, Panel1), "StringGrid1", 8, 168, 185, 561);
    Button1 = MakeButton(Panel1, "Button1", QStringLiteral("全件表示"), 8, 736, 75);
    Button2 = MakeButton(Panel1, "Button2", QStringLiteral("全件非表示"), 104, 736, 75);
    TrackBar1 = MakeTrackBar(Panel1, "TrackBar1", 0, 760, 193, 0, 1000, 900, 1);
    CheckBox1 = MakeCheckBox(Panel1, "CheckBox1", QStringLiteral("衝突"), 144, 8, 49, false);
}

void TForm1::BuildRightPanel() {
    GroupBox1 = Place(new QGroupBox(QStringLiteral("描　画"), Panel2), "GroupBox1", 8, 8, 161, 105);
    Label2 = MakeLabel(GroupBox1, "Label2", QStringLiteral("読込縮尺"), 16, 28);
    Edit1 = Place(new QLineEdit(GroupBox1), "Edit1", 80, 24, 65, cEditHeight);
    CheckBox2 = MakeCheckBox(GroupBox1, "CheckBox2", QStringLiteral("初期化"), 15, 48, 60, true);
    CheckBox3 = MakeCheckBox(GroupBox1, "CheckBox3", QStringLiteral("自動更新"), 79, 48, 73, false);
    Button3 = MakeButton(GroupBox1, "Button3", QStringLiteral("再読込"), 16, 72, 57);
    Button4 = MakeButton(GroupBox1, "Button4", QStringLiteral("ファイル指定"), 80, 72, 73);

    Memo1 = MakeMemo(Panel2, "Memo1");
    Memo1->setGeometry(8, 120, 161, 49);

    StringGrid2 =
        Place(new TStringGrid({4, 5, 1, 1, 28, 18}, Panel2), "StringGrid2", 8, 176, 161, 561);
    RadioButton1 = Place(new QRadioButton(QStringLiteral("Pick"), Panel2), "RadioButton1", 15, 744,
                         65, cCheckBoxHeight);
    TrackBar2 = MakeTrackBar(Panel2, "TrackBar2", 88, 740, 80, 40, 100, 50, 40);
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    N1 = bar->addMenu(QStringLiteral("ファイル"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = bar->addMenu(QStringLiteral("衝突"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = bar->addMenu(QStringLiteral("設定"));
    N3->setObjectName(QStringLiteral("N3"));
}

void TForm1::BuildTimers() {
    const auto makeTimer = [this](const char* name, int interval, bool enabled, auto slot) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, slot);
        if (enabled) {
            timer->start();
        }
        return timer;
    };
    Timer1 = makeTimer("Timer1", 100, false, &TForm1::Timer1Timer);
    Timer2 = makeTimer("Timer2", 2000, true, &TForm1::Timer2Timer);
    Timer3 = makeTimer("Timer3", 200, true, &TForm1::Timer3Timer);
}

} // namespace hk
