#include "main/reading_pages.h"

#include "common/qstring_utf8.h"
#include "engine/context.h"
#include "engine/time_layers.h"
#include "main/tab_button_row.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/reading_names.h"
#include "session/chart_session.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zelvara {
namespace {

constexpr int kLuckTabWidth = 165;

QPlainTextEdit* Memo(QWidget* parent, const char* name) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return m;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// A yellow caption written top to bottom beside a memo.
QLabel* VerticalCaption(QWidget* parent, const char* name, const QString& text) {
    QLabel* l = Caption(parent, name, QString(text).split(QString(), Qt::SkipEmptyParts).join(QLatin1Char('\n')));
    l->setWordWrap(false);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setStyleSheet(QStringLiteral("background: yellow; color: black; padding: 2px;"));
    l->setFixedWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("宮")) + 8);
    // The memo beside it decides the height; the caption never makes the page taller.
    l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    return l;
}

// Fills a memo with composed lines and scrolls it back to its top; a memo the
// composition did not reach keeps what it held.
void Show(QPlainTextEdit* memo, const std::optional<QStringList>& lines) {
    if (lines) memo->setPlainText(lines->join(QLatin1Char('\n')));
    memo->moveCursor(QTextCursor::Start);
    memo->verticalScrollBar()->setValue(0);
}

}  // namespace

ReadingPages::ReadingPages(MessageSink& sink, QObject* parent)
    : QObject(parent), sink_(sink), tables_(std::make_unique<ReadingTables>(sink)) {}

ReadingPages::~ReadingPages() = default;

QWidget* ReadingPages::BuildOverallPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("kanteisheet"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    Kekka = new TabButtonRow(PalaceNames(), 0, page);
    Kekka->setObjectName(QStringLiteral("Kekka"));
    Kekka->setCurrentIndex(0);
    connect(Kekka, &TabButtonRow::currentChanged, this, [this](int index) {
        if (index >= 0) KekkaChange();
    });
    column->addWidget(Kekka);

    hlp12Memo = Memo(page, "hlp12Memo");
    auto* upper = new QHBoxLayout;
    upper->addWidget(VerticalCaption(page, "Label1", QStringLiteral("宮の説明")));
    upper->addWidget(hlp12Memo, 1);
    column->addLayout(upper, 1);

    KanteiMemo = Memo(page, "KanteiMemo");
    auto* lower = new QHBoxLayout;
    lower->addWidget(VerticalCaption(page, "Label3", QStringLiteral("宮に格納されている星の作用の説明")));
    lower->addWidget(KanteiMemo, 1);
    column->addLayout(lower, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Caption(page, "Label4", QStringLiteral("※上記の文章は、作用が強く重要な順番で並んでいます。")),
                      1);
    PrnCheck = new QCheckBox(QStringLiteral("12宮全部印刷"), page);
    PrnCheck->setObjectName(QStringLiteral("PrnCheck"));
    bottom->addWidget(PrnCheck);
    printbtn2 = Button(page, "printbtn2", QStringLiteral("文章印刷"));
    connect(printbtn2, &QPushButton::clicked, this, &ReadingPages::printbtn2Click);
    bottom->addWidget(printbtn2);
    column->addLayout(bottom);
    return page;
}

QWidget* ReadingPages::BuildLuckPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("kounsheet"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addWidget(Caption(
        page, "Label34", QStringLiteral("10年毎に変化する大きな運のリズムと１年毎に変化するリズムがあります。"), true));
    // The captions the page carries until the first chart names the periods.
    daiuntab = new TabButtonRow(
        {QStringLiteral("3-12才（紫薇星）"), QStringLiteral("13-22"), QStringLiteral("23-32"), QStringLiteral("33-42"),
         QStringLiteral("43-52"), QStringLiteral("53-62"), QStringLiteral("63-72"), QStringLiteral("73-82"),
         QStringLiteral("83-92"), QStringLiteral("93-102"), QStringLiteral("103-112"), QStringLiteral("113-122")},
        kLuckTabWidth, page);
    daiuntab->setObjectName(QStringLiteral("daiuntab"));
    connect(daiuntab, &TabButtonRow::currentChanged, this, &ReadingPages::daiuntabChange);
    column->addWidget(daiuntab);
    decadeTransforms = Caption(page, "decadeTransforms", QString());
    decadeTransforms->hide();
    column->addWidget(decadeTransforms);
    KounMemo = Memo(page, "KounMemo");
    column->addWidget(KounMemo, 1);
    auto* bottom = new QHBoxLayout;
    decadeTransformsCheck = new QCheckBox(QStringLiteral("大限の四化を表示"), page);
    decadeTransformsCheck->setObjectName(QStringLiteral("decadeTransformsCheck"));
    connect(decadeTransformsCheck, &QCheckBox::toggled, this, &ReadingPages::ShowDecadeTransforms);
    bottom->addWidget(decadeTransformsCheck);
    bottom->addStretch(1);
    kounprintbtn = Button(page, "kounprintbtn", QStringLiteral("文章印刷"));
    connect(kounprintbtn, &QPushButton::clicked, this, [this] { Print(print_.luck); });
    bottom->addWidget(kounprintbtn);
    column->addLayout(bottom);
    return page;
}

QWidget* ReadingPages::BuildMarriagePage(std::function<void()> showRules) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("kekkonsheet"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addWidget(Caption(page, "Label35",
                              QStringLiteral("※本能的に好きになる異性のタイプは夫妻宮に入っている主星で分かります。"),
                              true));
    AiMemo1 = Memo(page, "AiMemo1");
    column->addWidget(AiMemo1, 1);
    column->addWidget(
        Caption(page, "Label36",
                QStringLiteral("※本能的な好き嫌いは別として、貴方の欠点を補ってくれるような星を説明します。"), true));
    AiMemo2 = Memo(page, "AiMemo2");
    column->addWidget(AiMemo2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    kekkonbtn = Button(page, "kekkonbtn", QStringLiteral("合婚法則一覧"));
    connect(kekkonbtn, &QPushButton::clicked, this, [showRules] {
        if (showRules) showRules();
    });
    bottom->addWidget(kekkonbtn);
    aisyobtn = Button(page, "aisyobtn", QStringLiteral("文章印刷"));
    connect(aisyobtn, &QPushButton::clicked, this, [this] { Print(print_.marriage); });
    bottom->addWidget(aisyobtn);
    column->addLayout(bottom);
    return page;
}

void ReadingPages::Attach(const ChartSession& session) { session_ = &session; }

void ReadingPages::OpenTables(const QString& programFolder) {
    tables_->Open(programFolder, SeedFolders(programFolder));
}

void ReadingPages::KekkaChange() {
    if (!session_ || !Kekka || Kekka->currentIndex() < 0) return;
    const OverallReading r = ComposeOverallReading(session_->Man(), session_->Layout().boxText,
                                                   Kekka->currentIndex() + 1, *tables_->Texts(), sink_);
    Show(hlp12Memo, r.hlp12Memo);
    Show(KanteiMemo, r.kanteiMemo);
}

void ReadingPages::kyu0Click(int branchTag) {
    if (!session_) return;
    for (int p = 1; p <= kPalaces; ++p) {
        if (session_->Man().palaceBranch[p] == branchTag) {
            SelectPalaceTab(p - 1);
            return;
        }
    }
}

void ReadingPages::SelectPalaceTab(int tab) {
    {
        const QSignalBlocker quiet(Kekka);
        Kekka->setCurrentIndex(tab);
    }
    KekkaChange();
}

void ReadingPages::printbtn2Click() { Print(print_.overall); }

void ReadingPages::daiuntabChange(int index) {
    if (!session_ || !session_->HasChart() || index < 0)
        return;  // before the first chart the tabs only carry their captions
    const LuckReading r = ComposeLuckReading(session_->Man(), index + 1, *tables_->Texts(), sink_);
    Show(KounMemo, r.kounMemo);
    ShowDecadeTransforms();
}

// The selected period's 大限 with its stem and where its 四化 stand, while
// the box is checked and a period is selected.
void ReadingPages::ShowDecadeTransforms() {
    const int index = daiuntab->currentIndex();
    const bool charted = session_ && session_->HasChart();
    const std::optional<TimeLayer> decade =
        charted && index >= 0 ? DecadeLayer(session_->Man(), index + 1) : std::nullopt;
    const bool shown = decadeTransformsCheck->isChecked() && decade.has_value();
    decadeTransforms->setText(shown ? Q(LayerCaption(*decade)) + QStringLiteral("　") + Q(kStemNames[decade->stem]) +
                                          QStringLiteral("干：") + Q(LayerTransformsText(session_->Man(), *decade))
                                    : QString());
    decadeTransforms->setVisible(shown);
}

void ReadingPages::ShowLuckPeriods(const QStringList& captions) {
    const QSignalBlocker quiet(daiuntab);
    daiuntab->setCurrentIndex(-1);
    for (int i = 0; i < captions.size(); ++i) {
        if (i < daiuntab->count())
            daiuntab->setTabText(i, captions[i]);
        else
            daiuntab->addTab(captions[i]);
    }
    while (daiuntab->count() > captions.size()) daiuntab->removeTab(daiuntab->count() - 1);
    KounMemo->clear();
    ShowDecadeTransforms();
}

void ReadingPages::ComposeMarriageReading() {
    if (!session_) return;
    const MarriageReading r = zelvara::ComposeMarriageReading(session_->Man(), *tables_->Texts(), sink_);
    Show(AiMemo1, r.aiMemo1);
    Show(AiMemo2, r.aiMemo2);
}

void ReadingPages::Print(const std::function<void()>& action) {
    if (action)
        action();
    else
        sink_.Show("文章の印刷はこの版ではまだ使えません。", {});
}

}  // namespace zelvara
