// Pieces the three reading-text editor windows share.
#pragma once

#include <QString>
#include <QWidget>

#include <QStringList>

class QBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace zelvara {

class RecordNavigator;
class TCaptionDBNavi;

// A navigator bar over records with the editor's Japanese captions, each below its glyph.
TCaptionDBNavi* EditorNavigator(QWidget* parent, const QString& name, RecordNavigator& records);

// A memo named after field, bound to it.
QPlainTextEdit* BoundMemo(RecordNavigator& records, const QString& field, QWidget* parent = nullptr);

// A grid named name over the records' table, showing fields (all when empty).
// It follows the current record, and picking a row moves there (saving the
// record left first).
QTableView* RecordGrid(QWidget* parent, const QString& name, RecordNavigator& records, const QStringList& fields = {});

// A note on yellow ground, centred.
QLabel* YellowNote(QWidget* parent, const QString& name, const QString& text);

// A caption over a control.
QWidget* Captioned(QWidget* parent, const QString& caption, QWidget* control);

// The bottom panel with the button "登録して閉じる" (named closebtn), added to layout.
QPushButton* AddClosePanel(QWidget* window, QBoxLayout* layout);

// A top-level window that comes up in the middle of its screen the first time
// it is shown, and only hides when closed. Closing (by its title bar too)
// saves the edits the window holds; when they are refused the window stays
// open with them. Hidden otherwise, it saves them too, and refused ones stay
// pending in their table.
class CentredWindow : public QWidget {
public:
    explicit CentredWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

    // Saves the window's pending edits; false when refused (reported).
    virtual bool SavePending() { return true; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool placed_ = false;
};

}  // namespace zelvara
