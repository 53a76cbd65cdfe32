// The count and list of the load notices.
#include "app/window/load_notices.h"

#include "app/window/form1.h"
#include "app/window/qt_sjis.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

namespace hk {

namespace {

constexpr int cListWidth = 720;
constexpr int cListHeight = 320;

QString NoticeText(const TMessageLog& log) {
    QStringList lines;
    for (const std::string& notice : log.Notices()) {
        lines << FromUtf8(notice);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TLoadNotices::TLoadNotices(TForm1& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("LoadNotices"));
    menuItem_ = form.N1->addAction(QStringLiteral("読込メッセージ"));
    menuItem_->setObjectName(QStringLiteral("LoadNoticesItem"));
    connect(menuItem_, &QAction::triggered, this, &TLoadNotices::ShowList);
    count_ = new QLabel(form.StatusBar1);
    count_->setObjectName(QStringLiteral("LoadNoticeCount"));
    form.StatusBar1->addPermanentWidget(count_);
    Update();
}

void TLoadNotices::Update() {
    const std::size_t n = form_.MessageLog().Notices().size();
    count_->setText(n == 0 ? QString() : QStringLiteral("読込メッセージ %1 件").arg(n));
    count_->setVisible(n > 0);
    if (list_ != nullptr) {
        list_->setPlainText(NoticeText(form_.MessageLog()));
    }
}

void TLoadNotices::ShowList() {
    if (window_ == nullptr) {
        window_ = new QDialog(&form_);
        window_->setObjectName(QStringLiteral("LoadNoticesWindow"));
        window_->setWindowTitle(QStringLiteral("読込メッセージ"));
        window_->resize(cListWidth, cListHeight);
        list_ = new QPlainTextEdit(window_);
        list_->setObjectName(QStringLiteral("LoadNoticesList"));
        list_->setReadOnly(true);
        list_->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto* column = new QVBoxLayout(window_);
        column->addWidget(list_);
    }
    list_->setPlainText(NoticeText(form_.MessageLog()));
    window_->show();
    window_->raise();
}

} // namespace hk
