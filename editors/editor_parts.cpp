#include "editors/editor_parts.h"

#include "editors/cap_navi.h"
#include "editors/reading_data_source.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zelvara {

TCaptionDBNavi* EditorNavigator(QWidget* parent, const QString& name, ReadingDataSource& source) {
    auto* navi = new TCaptionDBNavi(parent);
    navi->setObjectName(name);
    navi->SetCaptions({QStringLiteral("最初へ"), QStringLiteral("前へ"), QStringLiteral("次へ"),
                       QStringLiteral("最後へ"), QStringLiteral("新規挿入"), QStringLiteral("削除"),
                       QStringLiteral("編集"), QStringLiteral("更新登録"), QStringLiteral("キャンセル"),
                       QStringLiteral("再表示")});
    navi->SetCaptionLayout(cbTop);  // glyph above, caption below
    navi->SetFlat(true);
    navi->SetDataSet(&source);
    navi->setMinimumHeight(44);
    navi->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    navi->Loaded();
    return navi;
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
