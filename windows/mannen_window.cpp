#include "windows/mannen_window.h"

#include "common/qstring_utf8.h"
#include "engine/conversion.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace zelvara {
namespace {

// Pixel layout: two bands of day cells under the month row.
constexpr int kMargin = 12;
constexpr int kCellW = 44;
constexpr int kCellH = 22;
constexpr int kRowStep = 24;  // solar day, lunar date, stem, branch
constexpr int kDaysInFirstBand = 16;
constexpr int kMonthW = 58;
constexpr int kMonthPanelTop = 96;
constexpr int kMonthPanelH = 86;
constexpr int kBand1Top = kMonthPanelTop + kMonthPanelH + 12;
constexpr int kMarkerTop = kBand1Top + 4 * kRowStep + 2;
constexpr int kBand2Top = kMarkerTop + 44;
constexpr int kFootTop = kBand2Top + 4 * kRowStep + 12;
constexpr int kWidth = 2 * kMargin + kDaysInFirstBand * kCellW;
constexpr int kHeight = kFootTop + 50;

QToolButton* Cell(QWidget* parent, const QString& name, const QString& hint, QRect rect) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(rect);
    return b;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect rect) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(rect);
    return l;
}

}  // namespace

Tmannenfrm::Tmannenfrm(const CalendarYear& year, int chartYear, int birthMonth, const QString& sourceLine,
                       QWidget* parent, const CalendarYear* nextYear)
    : QWidget(parent, Qt::Window), year_(year) {
    if (nextYear) nextYear_ = *nextYear;
    setObjectName(QStringLiteral("Tmannenfrm"));
    setWindowTitle(QStringLiteral("万年暦"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);

    BuildHeader(chartYear);
    BuildMonthPanel();
    BuildDayCells();

    auto* note = Label(this, "StaticText1",
                       QStringLiteral("※この暦は、一般に市販されている旧暦とは異なる場合があります。"
                                      "特に閏月では違いがあります。") +
                           (sourceLine.isEmpty() ? QString() : QStringLiteral("\n") + sourceLine),
                       QRect(kMargin, kFootTop, kWidth - 2 * kMargin - 100, 44));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    note->setFont(small);

    auto* endbtn = new QPushButton(QStringLiteral("閉じる"), this);
    endbtn->setObjectName(QStringLiteral("endbtn"));
    endbtn->setGeometry(kWidth - kMargin - 90, kFootTop + 6, 90, 30);
    connect(endbtn, &QPushButton::clicked, this, &QWidget::close);

    const int start = (birthMonth >= 1 && birthMonth <= 12) ? birthMonth : 1;
    months_->button(start)->setChecked(true);
    m1Click(start);
}

QString Tmannenfrm::CalendarSourceLine(const QString& programFolder) {
    QFile f(QDir(programFolder).filePath(QStringLiteral("calendar-source.txt")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).trimmed();
}

void Tmannenfrm::BuildHeader(int chartYear) {
    auto* yy = Label(this, "yy", QString::number(chartYear) + QStringLiteral("年"), QRect(kMargin, 14, 110, 34));
    QFont big = yy->font();
    big.setPointSize(18);
    big.setBold(true);
    yy->setFont(big);

    auto* label1 = Label(this, "Label1", QStringLiteral("立春："), QRect(kMargin + 124, 24, 48, 20));
    label1->setToolTip(QStringLiteral("年の変わり目です"));
    auto* risyun = Label(this, "risyun", Q(RisyunText(year_)), QRect(kMargin + 172, 24, 250, 20));
    QFont bold = risyun->font();
    bold.setBold(true);
    risyun->setFont(bold);

    auto* panel2 = new QFrame(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameShape(QFrame::StyledPanel);
    panel2->setGeometry(kWidth - kMargin - 180, 6, 180, 82);
    auto* heading = Label(panel2, "Panel2Caption", QStringLiteral("立春"), QRect(0, 3, 180, 18));
    heading->setAlignment(Qt::AlignCenter);
    auto* mae = Label(panel2, "maelbl", QStringLiteral("前"), QRect(14, 22, 70, 18));
    mae->setAlignment(Qt::AlignCenter);
    mae->setToolTip(QStringLiteral("立春前は前年の干支になります"));
    auto* ato = Label(panel2, "atolbl", QStringLiteral("後"), QRect(96, 22, 70, 18));
    ato->setAlignment(Qt::AlignCenter);
    ato->setToolTip(QStringLiteral("立春後がその年の干支になります"));

    // The year before 立春 is the previous year's pillar, one back in the cycle.
    const int prevStem = (year_.yearStem + kStems - 2) % kStems + 1;
    const int prevBranch = (year_.yearBranch + kBranches - 2) % kBranches + 1;
    const QString maeHint = mae->toolTip();
    const QString atoHint = ato->toolTip();
    Cell(panel2, QStringLiteral("maeyyten"), maeHint, QRect(14, 44, 34, 28))->setText(Q(StemName(prevStem)));
    Cell(panel2, QStringLiteral("maeyychi"), maeHint, QRect(50, 44, 34, 28))->setText(Q(BranchName(prevBranch)));
    Cell(panel2, QStringLiteral("yyten"), atoHint, QRect(96, 44, 34, 28))->setText(Q(StemName(year_.yearStem)));
    Cell(panel2, QStringLiteral("yychi"), atoHint, QRect(132, 44, 34, 28))->setText(Q(BranchName(year_.yearBranch)));
}

void Tmannenfrm::BuildMonthPanel() {
    auto* monthpanel = new QFrame(this);
    monthpanel->setObjectName(QStringLiteral("monthpanel"));
    monthpanel->setFrameShape(QFrame::StyledPanel);
    monthpanel->setGeometry(kMargin, kMonthPanelTop, kWidth - 2 * kMargin, kMonthPanelH);
    months_ = new QButtonGroup(this);
    for (int m = 1; m <= 12; ++m) {
        const int left = 1 + kMonthW * (m - 1);
        auto* radio = new QRadioButton(QString::number(m) + QStringLiteral("月"), monthpanel);
        radio->setObjectName(QStringLiteral("m%1").arg(m));
        radio->setGeometry(left + 4, 6, kMonthW - 4, 20);
        months_->addButton(radio, m);
        const MonthInfo& info = year_.monthInfo[m];
        Cell(monthpanel, QStringLiteral("m%1ten").arg(m), {}, QRect(left + 8, 30, 36, 24))
            ->setText(Q(StemName(info.stem)));
        Cell(monthpanel, QStringLiteral("m%1chi").arg(m), {}, QRect(left + 8, 56, 36, 24))
            ->setText(Q(BranchName(info.branch)));
    }
    connect(months_, &QButtonGroup::idClicked, this, &Tmannenfrm::m1Click);
}

QRect Tmannenfrm::SolarDayRect(int day) const {
    const bool first = day <= kDaysInFirstBand;
    const int column = first ? day - 1 : day - kDaysInFirstBand - 1;
    return {kMargin + column * kCellW, first ? kBand1Top : kBand2Top, kCellW, kCellH};
}

void Tmannenfrm::BuildDayCells() {
    const QString hints[4] = {QStringLiteral("新暦です"), QStringLiteral("旧暦です"), QStringLiteral("干です"),
                              QStringLiteral("支です")};
    const char* names[4] = {"sinday%1", "kyuday%1", "daykan%1", "daychi%1"};
    std::array<QAbstractButton*, 32>* rows[4] = {&sinday_, &kyuday_, &daykan_, &daychi_};
    for (int day = 1; day <= 31; ++day) {
        const QRect top = SolarDayRect(day);
        for (int row = 0; row < 4; ++row)
            (*rows[row])[day] =
                Cell(this, QString::fromLatin1(names[row]).arg(day), hints[row], top.translated(0, row * kRowStep));
        sinday_[day]->setText(QString::number(day));
    }
    setuday1 = Label(this, "setuday1", QStringLiteral("▲節入り日"), QRect(kMargin, kMarkerTop, 100, 18));
    setuday1->setToolTip(QStringLiteral("節入り後がその月の干支になります。節入り前は前月の干支になります。"));
    QPalette red = setuday1->palette();
    red.setColor(QPalette::WindowText, QColor(176, 0, 0));
    setuday1->setPalette(red);
    setuday2 = Label(this, "setuday2", QString(), QRect(kMargin, kMarkerTop + 18, 100, 18));
    setuday2->setPalette(red);
}

void Tmannenfrm::m1Click(int month) {
    if (month < 1 || month > 12) return;
    month_ = month;
    for (int day = 1; day <= 31; ++day) {
        kyuday_[day]->setText(QString());
        daykan_[day]->setText(QString());
        daychi_[day]->setText(QString());
    }
    const CalendarMonthPage page = CalendarMonth(year_, month, nextYear_ ? &*nextYear_ : nullptr);
    const int markerLeft = SolarDayRect(std::clamp(page.termDay, 1, 31)).left();
    setuday1->move(markerLeft, setuday1->y());
    setuday2->setText(QString::fromStdString(page.termHourRange));
    setuday2->move(markerLeft, setuday2->y());
    for (int day = 1; day <= page.days; ++day) {
        kyuday_[day]->setText(QString::fromStdString(page.cells[day].lunar));
        daykan_[day]->setText(QString::fromStdString(page.cells[day].stem));
        daychi_[day]->setText(QString::fromStdString(page.cells[day].branch));
    }
}

}  // namespace zelvara
