// The chart page, the three reading pages and the bottom panel. The chart page
// is filled by the chart display; the reading pages are built by ReadingPages.
#include "main/main_window.h"

#include "main/reading_pages.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelvara {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

QWidget* TMainForm1::BuildChartPage() {
    syuseizu = new QWidget;
    syuseizu->setObjectName(QStringLiteral("syuseizu"));
    boxes_ = CreateChartBoxFrames(syuseizu);

    auto* centre = new QFrame(syuseizu);
    centre->setObjectName(QStringLiteral("centerPanel"));
    centre->setFrameShape(QFrame::StyledPanel);
    centre->setGeometry(142, 122, 279, 250);
    centre_ = BuildChartCentre(centre);

    Chart1 = new PalaceStrengthView(syuseizu);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(568, 0, 192, 440);

    auto* GraphCheck = new QCheckBox(QStringLiteral("グラフも印刷する"), syuseizu);
    GraphCheck->setObjectName(QStringLiteral("GraphCheck"));
    GraphCheck->setGeometry(568, 446, 192, 22);
    QPushButton* printbtn1 = Button(syuseizu, "printbtn1", QStringLiteral("出生図印刷"));
    printbtn1->setGeometry(568, 470, 112, 26);
    QPushButton* flyingPrint = Button(syuseizu, "flyingPrintBtn", QStringLiteral("飛星表"));
    flyingPrint->setGeometry(684, 470, 76, 26);
    flyingPrint->setToolTip(QStringLiteral("飛星表（各宮の四化の飛び先と選んだ層の四化）を印刷します"));
    return syuseizu;
}

QWidget* TMainForm1::BuildOverallReadingPage() {
    kanteisheet = readings_->BuildOverallPage();
    return kanteisheet;
}

QWidget* TMainForm1::BuildLuckReadingPage() {
    kounsheet = readings_->BuildLuckPage();
    daiuntab = readings_->daiuntab;
    KounMemo = readings_->KounMemo;
    return kounsheet;
}

QWidget* TMainForm1::BuildMarriageReadingPage() {
    kekkonsheet = readings_->BuildMarriagePage([this] {
        if (windows_.marriageRules) windows_.marriageRules->show();
    });
    return kekkonsheet;
}

QWidget* TMainForm1::BuildBottomPanel() {
    auto* Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);
    namelbl = new QLabel(QStringLiteral("氏名"), Panel1);
    namelbl->setObjectName(QStringLiteral("namelbl"));
    QFont nameFont = namelbl->font();
    nameFont.setPointSize(nameFont.pointSize() + 2);
    nameFont.setBold(true);
    namelbl->setFont(nameFont);
    row->addWidget(namelbl, 1);

    auto show = [](QWidget* w) {
        if (w) {
            w->show();
            w->raise();
            w->activateWindow();
        }
    };
    QPushButton* matorixbtn = Button(Panel1, "matorixbtn", QStringLiteral("星のマトリックス"));
    connect(matorixbtn, &QPushButton::clicked, this, [this, show] { show(windows_.starMatrix); });
    // The owner settings are reloaded by the settings module when it opens.
    QPushButton* helpbtn = Button(Panel1, "helpbtn", QStringLiteral("Orvandel伝説"));
    connect(helpbtn, &QPushButton::clicked, this, [this, show] { show(windows_.legends); });
    QPushButton* BitBtn1 = Button(Panel1, "BitBtn1", QStringLiteral("万年暦"));
    connect(BitBtn1, &QPushButton::clicked, this, &TMainForm1::BitBtn1Click);
    QPushButton* passbtn = Button(Panel1, "passbtn", QStringLiteral("環境設定"));
    connect(passbtn, &QPushButton::clicked, this, [this, show] { show(windows_.settings); });
    QPushButton* endbtn = Button(Panel1, "endbtn", QStringLiteral("終了"));
    connect(endbtn, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* b : {matorixbtn, helpbtn, BitBtn1, passbtn, endbtn}) row->addWidget(b);
    return Panel1;
}

}  // namespace zelvara
