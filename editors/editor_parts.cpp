#include "editors/editor_parts.h"

#include "editors/cap_navi.h"
#include "editors/reading_table.h"
#include "editors/record_navigator.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace zelvara {
namespace {

// A table's records as a grid shows them: the row header marks the current
// record (▶).
class CurrentRowMarks : public QIdentityProxyModel {
public:
    CurrentRowMarks(RecordNavigator& records, QObject* parent) : QIdentityProxyModel(parent), records_(records) {
        setSourceModel(&records.Table());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Vertical && role == Qt::DisplayRole)
            return section == records_.CurrentRow() ? QStringLiteral("▶") : QString();
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
    // The current record is another one.
    void Moved() {
        if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }

private:
    RecordNavigator& records_;
};

// Enter ends a cell's edit and Escape drops it, leaving the record's edits to
// the navigator: a view would otherwise save or drop them all.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Enter || key == Qt::Key_Return || key == Qt::Key_Escape) {
                if (key != Qt::Key_Escape) emit commitData(editor);
                emit closeEditor(editor, NoHint);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }
};

}  // namespace

TCaptionDBNavi* EditorNavigator(QWidget* parent, const QString& name, RecordNavigator& records) {
    auto* navi = new TCaptionDBNavi(parent);
    navi->setObjectName(name);
    navi->SetCaptions({QStringLiteral("最初へ"), QStringLiteral("前へ"), QStringLiteral("次へ"),
                       QStringLiteral("最後へ"), QStringLiteral("新規挿入"), QStringLiteral("削除"),
                       QStringLiteral("編集"), QStringLiteral("更新登録"), QStringLiteral("キャンセル"),
                       QStringLiteral("再表示")});
    navi->SetCaptionLayout(cbTop);  // glyph above, caption below
    navi->SetFlat(true);
    navi->SetTarget(&records);
    navi->setMinimumHeight(44);
    navi->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    navi->Loaded();
    return navi;
}

QPlainTextEdit* BoundMemo(RecordNavigator& records, const QString& field, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(field);
    memo->setToolTip(field);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    records.Bind(memo, field);
    return memo;
}

QTableView* RecordGrid(QWidget* parent, const QString& name, RecordNavigator& records, const QStringList& fields) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    ReadingTable& table = records.Table();
    auto* marks = new CurrentRowMarks(records, view);
    view->setModel(marks);
    view->setItemDelegate(new CellDelegate(view));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->verticalHeader()->setMinimumWidth(16);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);

    // Only the chosen fields, whenever the table is read again.
    auto chooseColumns = [view, &table, fields] {
        for (int c = 0; c < table.columnCount(); ++c)
            view->setColumnHidden(
                c, !fields.isEmpty() && !fields.contains(table.headerData(c, Qt::Horizontal).toString()));
    };
    QObject::connect(&table, &QAbstractItemModel::modelReset, view, chooseColumns);
    chooseColumns();

    // The grid follows the current record …
    auto follow = [view, &table, marks](int row) {
        marks->Moved();
        if (row < 0 || table.columnCount() == 0) return;
        int column = qMax(0, view->currentIndex().column());
        while (column < table.columnCount() - 1 && view->isColumnHidden(column)) ++column;
        if (view->currentIndex().row() != row) {
            const QSignalBlocker still(view->selectionModel());
            view->setCurrentIndex(marks->index(row, column));
            view->viewport()->update();
        }
    };
    QObject::connect(&records, &RecordNavigator::moved, view, follow);
    QObject::connect(&table, &QAbstractItemModel::modelReset, view,
                     [follow, &records] { follow(records.CurrentRow()); });
    // … and picking a row moves it, which saves the record left (the view's
    // own submit on a row change would ask a second time).
    QObject::disconnect(view->selectionModel(), SIGNAL(currentRowChanged(QModelIndex, QModelIndex)), marks,
                        SLOT(submit()));
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                     [&records](const QModelIndex& now) {
                         if (now.isValid()) records.MoveTo(now.row());
                     });
    follow(records.CurrentRow());
    return view;
}

QLabel* YellowNote(QWidget* parent, const QString& name, const QString& text) {
    auto* note = new QLabel(text, parent);
    note->setObjectName(name);
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    note->setAutoFillBackground(true);
    QPalette pal = note->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 0));
    pal.setColor(QPalette::WindowText, Qt::black);
    note->setPalette(pal);
    note->setMargin(3);
    return note;
}

QWidget* Captioned(QWidget* parent, const QString& caption, QWidget* control) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(caption, box));
    control->setParent(box);
    layout->addWidget(control, 1);
    return box;
}

QPushButton* AddClosePanel(QWidget* window, QBoxLayout* layout) {
    auto* panel = new QFrame(window);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(panel);
    auto* button = new QPushButton(QStringLiteral("登録して閉じる"), panel);
    button->setObjectName(QStringLiteral("closebtn"));
    row->addStretch(1);
    row->addWidget(button);
    row->addStretch(1);
    layout->addWidget(panel);
    return button;
}

void CentredWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown) return;
    QRect frame = frameGeometry();
    frame.moveCenter(shown->availableGeometry().center());
    move(frame.topLeft());
}

void CentredWindow::closeEvent(QCloseEvent* event) {
    if (!SavePending()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void CentredWindow::hideEvent(QHideEvent* event) {
    // A hide by the window system (minimising) is no end of editing.
    if (!event->spontaneous()) SavePending();
    QWidget::hideEvent(event);
}

}  // namespace zelvara
