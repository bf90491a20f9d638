// The chart page, the three reading pages and the bottom panel. Their
// contents are filled by the chart display and the readings.
#include "main_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace zelvara {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QPlainTextEdit* Memo(QWidget* parent, const char* name)
{
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(false);
    return m;
}

// Button-style tabs, as a row of toggles over the page.
QTabBar* ButtonTabs(QWidget* parent, const char* name, const QStringList& captions)
{
    auto* tabs = new QTabBar(parent);
    tabs->setObjectName(QString::fromLatin1(name));
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    tabs->setUsesScrollButtons(true);
    tabs->setStyleSheet(QStringLiteral(
        "QTabBar::tab { border: 1px solid #8a8a8a; border-radius: 2px; padding: 3px 5px; margin: 1px;"
        " background: #e4e2dc; }"
        "QTabBar::tab:selected { background: #b9c8e6; border-color: #3b5a99; }"));
    for (const QString& c : captions)
        tabs->addTab(c);
    return tabs;
}

}  // namespace

QWidget* TMainForm1::BuildChartPage()
{
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
    Chart1->setGeometry(568, 0, 112, 440);

    auto* GraphCheck = new QCheckBox(QStringLiteral("グラフも印刷する"), syuseizu);
    GraphCheck->setObjectName(QStringLiteral("GraphCheck"));
    GraphCheck->setGeometry(568, 446, 112, 22);
    QPushButton* printbtn1 = Button(syuseizu, "printbtn1", QStringLiteral("出生図印刷"));
    printbtn1->setGeometry(568, 470, 112, 26);
    return syuseizu;
}

QWidget* TMainForm1::BuildOverallReadingPage()
{
    kanteisheet = new QWidget;
    kanteisheet->setObjectName(QStringLiteral("kanteisheet"));
    auto* page = new QVBoxLayout(kanteisheet);
    page->setContentsMargins(6, 6, 6, 6);
    page->setSpacing(4);
    Kekka = ButtonTabs(kanteisheet, "Kekka",
                       {QStringLiteral("父母宮"), QStringLiteral("命宮"), QStringLiteral("兄弟宮"), QStringLiteral("夫妻宮"),
                        QStringLiteral("子女宮"), QStringLiteral("財帛宮"), QStringLiteral("疾厄宮"), QStringLiteral("遷移宮"),
                        QStringLiteral("奴僕宮"), QStringLiteral("官禄宮"), QStringLiteral("田宅宮"), QStringLiteral("福徳宮")});
    connect(Kekka, &QTabBar::currentChanged, this, [this] { KekkaChange(); });
    page->addWidget(Kekka);
    page->addWidget(new QLabel(QStringLiteral("宮の説明"), kanteisheet));
    page->addWidget(Memo(kanteisheet, "hlp12Memo"), 1);
    page->addWidget(new QLabel(QStringLiteral("宮に格納されている星の作用の説明"), kanteisheet));
    page->addWidget(Memo(kanteisheet, "KanteiMemo"), 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("※上記の文章は、作用が強く重要な順番で並んでいます。"), kanteisheet));
    bottom->addStretch(1);
    auto* PrnCheck = new QCheckBox(QStringLiteral("12宮全部印刷"), kanteisheet);
    PrnCheck->setObjectName(QStringLiteral("PrnCheck"));
    bottom->addWidget(PrnCheck);
    bottom->addWidget(Button(kanteisheet, "printbtn2", QStringLiteral("文章印刷")));
    page->addLayout(bottom);
    return kanteisheet;
}

QWidget* TMainForm1::BuildLuckReadingPage()
{
    kounsheet = new QWidget;
    kounsheet->setObjectName(QStringLiteral("kounsheet"));
    auto* page = new QVBoxLayout(kounsheet);
    page->setContentsMargins(6, 6, 6, 6);
    page->setSpacing(4);
    page->addWidget(new QLabel(QStringLiteral("10年毎に変化する大きな運のリズムと１年毎に変化するリズムがあります。"), kounsheet));
    daiuntab = ButtonTabs(kounsheet, "daiuntab",
                          {QStringLiteral("3-12才（紫薇星）"), QStringLiteral("13-22"), QStringLiteral("23-32"),
                           QStringLiteral("33-42"), QStringLiteral("43-52"), QStringLiteral("53-62"), QStringLiteral("63-72"),
                           QStringLiteral("73-82"), QStringLiteral("83-92"), QStringLiteral("93-102"),
                           QStringLiteral("103-112"), QStringLiteral("113-122")});
    page->addWidget(daiuntab);
    KounMemo = Memo(kounsheet, "KounMemo");
    page->addWidget(KounMemo, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button(kounsheet, "kounprintbtn", QStringLiteral("文章印刷")));
    page->addLayout(bottom);
    return kounsheet;
}

QWidget* TMainForm1::BuildMarriageReadingPage()
{
    kekkonsheet = new QWidget;
    kekkonsheet->setObjectName(QStringLiteral("kekkonsheet"));
    auto* page = new QVBoxLayout(kekkonsheet);
    page->setContentsMargins(6, 6, 6, 6);
    page->setSpacing(4);
    auto* note1 = new QLabel(QStringLiteral("※本能的に好きになる異性のタイプは夫妻宮に入っている主星で分かります。"), kekkonsheet);
    note1->setWordWrap(true);
    page->addWidget(note1);
    page->addWidget(Memo(kekkonsheet, "AiMemo1"), 1);
    auto* note2 = new QLabel(QStringLiteral("※本能的な好き嫌いは別として、貴方の欠点を補ってくれるような星を説明します。"), kekkonsheet);
    note2->setWordWrap(true);
    page->addWidget(note2);
    page->addWidget(Memo(kekkonsheet, "AiMemo2"), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    QPushButton* kekkonbtn = Button(kekkonsheet, "kekkonbtn", QStringLiteral("合婚法則一覧"));
    connect(kekkonbtn, &QPushButton::clicked, this, [this] {
        if (windows_.marriageRules)
            windows_.marriageRules->show();
    });
    bottom->addWidget(kekkonbtn);
    bottom->addWidget(Button(kekkonsheet, "aisyobtn", QStringLiteral("文章印刷")));
    page->addLayout(bottom);
    return kekkonsheet;
}

QWidget* TMainForm1::BuildBottomPanel()
{
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
    for (QPushButton* b : {matorixbtn, helpbtn, BitBtn1, passbtn, endbtn})
        row->addWidget(b);
    return Panel1;
}

}  // namespace zelvara
