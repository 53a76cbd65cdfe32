// TLoadNotices: the notices of the main window's loads and builds (ignored columns, unreadable
// models, colour rule problems, a watch load that failed) kept out of the message area: their
// count in the status bar and the item "読込メッセージ" of the "ファイル" menu, which opens a
// window listing them.
#pragma once

#include <QObject>

class QAction;
class QDialog;
class QLabel;
class QPlainTextEdit;

namespace hk {

class TForm1;

class TLoadNotices : public QObject {
    Q_OBJECT
public:
    // Adds the menu item to form.N1 and the count to form.StatusBar1. A child of the form,
    // named "LoadNotices"; the form calls Update when its message log's notices change.
    explicit TLoadNotices(TForm1& form);

    // Shows the number of notices (nothing when there are none) and refreshes the list window
    // when it is open.
    void Update();
    // Opens the list window (not modal), made on first use and kept by the form.
    void ShowList();

    QAction* MenuItem() const { return menuItem_; }
    QLabel* Count() const { return count_; }
    // The list window; none before it was first opened.
    QDialog* ListWindow() const { return window_; }

private:
    TForm1& form_;
    QAction* menuItem_ = nullptr;
    QLabel* count_ = nullptr;
    QDialog* window_ = nullptr;
    QPlainTextEdit* list_ = nullptr;
};

} // namespace hk
