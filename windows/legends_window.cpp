#include "windows/legends_window.h"

#include "windows/picture_windows.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zelvara {
namespace {

constexpr int kImageW = 150;
constexpr int kImageH = 225;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

Thelpbunfrm::Thelpbunfrm(MessageSink& sink, const QString& programFolder, QWidget* parent)
    : Thelpbunfrm(sink, DataFolders::Portable(programFolder), parent) {}

Thelpbunfrm::Thelpbunfrm(MessageSink& sink, const DataFolders& folders, QWidget* parent)
    : QWidget(parent, Qt::Window), table_(sink), folders_(folders) {
    setObjectName(QStringLiteral("Thelpbunfrm"));
    setWindowTitle(QStringLiteral("星の説明の画面（Orvandelが原本になっています）"));
    table_.Open(folders.user);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kImageW, kImageH);
    Image1->setScaledContents(true);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setWordWrap(true);
    Image1->setFrameShape(QFrame::StyledPanel);

    Page1 = new QTabWidget(this);
    Page1->setObjectName(QStringLiteral("Page1"));
    Page1->setUsesScrollButtons(false);
    Page1->tabBar()->setExpanding(false);
    Page1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    QFont memoFont(QStringLiteral("IPAGothic"));
    memoFont.setPointSize(11);
    const QStringList& names = LegendFieldNames();
    for (int i = 0; i < kLegendFields; ++i) {
        auto* page = new QWidget(Page1);
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        auto* memo = new QPlainTextEdit(page);
        memo->setObjectName(QStringLiteral("DBMemo%1").arg(i + 1));
        memo->setFont(memoFont);
        memo->setPlainText(table_.Value(names.at(i)));
        memo->setReadOnly(!table_.IsOpen());
        const QString field = names.at(i);
        connect(memo, &QPlainTextEdit::textChanged, this,
                [this, memo, field] { table_.SetValue(field, memo->toPlainText()); });
        auto* fill = new QVBoxLayout(page);
        fill->setContentsMargins(2, 2, 2, 2);
        fill->addWidget(memo);
        memos_[i] = memo;
        Page1->addTab(page, names.at(i));
    }
    connect(Page1, &QTabWidget::currentChanged, this, &Thelpbunfrm::Page1Change);

    // The width the legends print wraps descriptions at; never shown.
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont printFont(QStringLiteral("IPAGothic"));
    printFont.setPixelSize(12);
    Memo1->setFont(printFont);
    Memo1->setGeometry(-kMemo1Width - 20, 0, kMemo1Width, 80);
    Memo1->setVisible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(Page1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addLayout(top, 1);
    outer->addWidget(BuildPanel());
    resize(960, 430);
    Page1Change(0);
}

QWidget* Thelpbunfrm::BuildPanel() {
    auto* Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* label = new QLabel(QStringLiteral("殷の紂王が妲己に溺れて国を失い、周の文王・武王が軍師姜子牙とともに"
                                            "新しい世を開くまでを、十四の主な星を人物に当てて語る物語です。"),
                             Panel1);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto* speed1 = Button(Panel1, "SpeedButton1", QStringLiteral("殷国人物組織図"));
    auto* speed2 = Button(Panel1, "SpeedButton2", QStringLiteral("周国人物組織図"));
    prnbtn = Button(Panel1, "prnbtn", QStringLiteral("印刷"));
    prnbtn->setEnabled(false);
    prnbtn->setToolTip(QStringLiteral("全部の星の説明を印刷します"));
    auto* closebtn = Button(Panel1, "closebtn", QStringLiteral("閉じる"));
    closebtn->setToolTip(QStringLiteral("書き換えた説明を保存して閉じます"));
    connect(speed1, &QPushButton::clicked, this, &Thelpbunfrm::SpeedButton1Click);
    connect(speed2, &QPushButton::clicked, this, &Thelpbunfrm::SpeedButton2Click);
    connect(prnbtn, &QPushButton::clicked, this, [this] {
        if (printHandler_) printHandler_();
    });
    connect(closebtn, &QPushButton::clicked, this, &Thelpbunfrm::closebtnClick);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 6, 8, 6);
    row->addWidget(label, 1);
    for (QPushButton* b : {speed1, speed2, prnbtn, closebtn}) row->addWidget(b);
    return Panel1;
}

QString Thelpbunfrm::Description(int star) const {
    if (star < 1 || star > kLegendFields) return {};
    return memos_[star - 1]->toPlainText();
}

QString Thelpbunfrm::PicturePath(int star) const {
    if (star < 1 || star > kLegendFields) return {};
    return BmpFilePath(folders_, LegendPictureFiles().at(star - 1));
}

std::array<QString, kLegendFields + 1> Thelpbunfrm::Descriptions() const {
    std::array<QString, kLegendFields + 1> all;
    for (int star = 1; star <= kLegendFields; ++star) all[star] = Description(star);
    return all;
}

void Thelpbunfrm::SetPrintHandler(std::function<void()> handler) {
    printHandler_ = std::move(handler);
    prnbtn->setEnabled(bool(printHandler_));
}

void Thelpbunfrm::showEvent(QShowEvent* event) {
    Page1Change(Page1->currentIndex());
    QWidget::showEvent(event);
}

void Thelpbunfrm::Page1Change(int index) {
    const QString path = PicturePath(index + 1);
    const QImage picture(path);
    if (picture.isNull()) {
        Image1->setPixmap(QPixmap());
        Image1->setText(MissingPictureText(QStringLiteral("bmp/") + LegendPictureFiles().value(index)));
    } else {
        Image1->setPixmap(QPixmap::fromImage(picture));
    }
    Image1->setProperty("pictureFile", path);
}

void Thelpbunfrm::closebtnClick() {
    // A refused post keeps the window open with the edits in place.
    if (!table_.IsOpen() || table_.Post()) close();
}

void Thelpbunfrm::SpeedButton1Click() {
    auto* w = new Tsosikiin(folders_, this);
    w->SetPrintRunner(runner_);
    w->show();
}

void Thelpbunfrm::SpeedButton2Click() {
    auto* w = new Tsosikisyu(folders_, this);
    w->SetPrintRunner(runner_);
    w->show();
}

}  // namespace zelvara
