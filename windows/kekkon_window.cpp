#include "windows/kekkon_window.h"

#include "common/qstring_utf8.h"
#include "engine/zelvara.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvara {
namespace {

constexpr int kColumnWidths[3] = {64, 225, 274};
constexpr int kRows = kStars + 1;

}  // namespace

Tkekkonfrm::Tkekkonfrm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Tkekkonfrm"));
    setWindowTitle(QStringLiteral("Zelvara合婚法則一覧"));

    SG = new QTableWidget(kRows, 3, this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->horizontalHeader()->hide();
    SG->verticalHeader()->hide();
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < 3; ++c) SG->setColumnWidth(c, kColumnWidths[c]);
    SG->verticalHeader()->setDefaultSectionSize(24);

    const QStringList header = {QStringLiteral("命宮の主星"), QStringLiteral("　人としての特徴"),
                                QStringLiteral("　ふさわしい相手の命宮の主星")};
    const QColor fixedColour = palette().color(QPalette::Button);
    auto put = [&](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        if (row == 0 || column == 0) {
            item->setBackground(fixedColour);
            item->setFlags(Qt::ItemIsEnabled);
        }
        SG->setItem(row, column, item);
    };
    for (int c = 0; c < 3; ++c) put(0, c, header[c]);
    for (int s = 1; s <= kStars; ++s) {
        put(s, 0, Q(kStarLongNames[s]));
        put(s, 1, Q(kStarKeywordLines[s]));
        put(s, 2, Q(kStarPartnerLines[s]));
    }

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 4, 6, 4);
    row->addStretch(1);
    closebtn = new QPushButton(QStringLiteral("閉じる"), panel);
    closebtn->setObjectName(QStringLiteral("closebtn"));
    connect(closebtn, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(closebtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(SG, 1);
    layout->addWidget(panel);

    const int frame = 2 * SG->frameWidth();
    resize(kColumnWidths[0] + kColumnWidths[1] + kColumnWidths[2] + frame, kRows * 24 + frame + 44);
}

void Tkekkonfrm::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
}

}  // namespace zelvara
