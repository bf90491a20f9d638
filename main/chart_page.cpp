#include "main/chart_page.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/calendar_day.h"
#include "main/chart_comparison_window.h"
#include "main/chart_layer_view.h"
#include "print/chart_picture.h"
#include "session/chart_session.h"
#include "store/boundary_warnings.h"
#include "store/settings_file.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace zelvara {
namespace {

// Where the line naming an earlier reading's chart stands: under the boxes.
// The conventions line of a profile other than 標準 takes the first of its
// two lines; the caption then keeps one, cut with 「…」 (whole in its tooltip).
constexpr QRect kAsReadCaption{0, 500, 564, 40};
// 「境界注意」, under the boxes at the right; the earlier reading's line
// leaves it room when both stand.
constexpr QRect kBoundaryButton{452, 503, 112, 28};
constexpr int kAsReadCaptionBesideButton = 448;
constexpr QRect kConventionsLine{0, 498, 564, 18};
constexpr QRect kAsReadUnderLine{0, 516, 564, 19};
const QString kAsReadStyle = QStringLiteral("background: #fff4c0; color: black; padding: %1;");

// text in one line of label's width, cut with 「…」 when longer.
QString OneLine(const QLabel* label, const QString& text, int width) {
    return label->fontMetrics().elidedText(text, Qt::ElideRight, width);
}

}  // namespace

ChartPage::ChartPage(const Timi& timi, QWidget* parent) : QWidget(parent), timi_(timi) {
    setObjectName(QStringLiteral("syuseizu"));
    boxes_ = CreateChartBoxFrames(this);

    auto* centre = Named(new QFrame(this), "centerPanel");
    centre->setFrameShape(QFrame::StyledPanel);
    centre->setGeometry(142, 122, 279, 250);
    centre_ = BuildChartCentre(centre);

    Chart1 = Named(new PalaceStrengthView(this), "Chart1");
    Chart1->setGeometry(568, 0, 192, 410);

    GraphCheck = Named(new QCheckBox(QStringLiteral("グラフも印刷する"), this), "GraphCheck");
    GraphCheck->setGeometry(568, 416, 192, 22);
    QPushButton* printbtn1 = Named(new QPushButton(QStringLiteral("出生図印刷"), this), "printbtn1");
    printbtn1->setGeometry(568, 440, 112, 26);
    QPushButton* flyingPrint = Named(new QPushButton(QStringLiteral("飛星表"), this), "flyingPrintBtn");
    flyingPrint->setGeometry(684, 440, 76, 26);
    flyingPrint->setToolTip(QStringLiteral("飛星表（各宮の四化の飛び先と選んだ層の四化）を印刷します"));

    // Handing the chart to the client: a picture file, the picture or the
    // chart as text on the clipboard.
    QPushButton* pictureSave = Named(new QPushButton(QStringLiteral("画像で保存"), this), "pictureSaveBtn");
    pictureSave->setGeometry(568, 470, 96, 26);
    pictureSave->setToolTip(QStringLiteral("出生図を画像ファイル（PNG または SVG）に保存します"));
    pictureMenu_ = Named(new QMenu(pictureSave), "pictureSizeMenu");
    const QString sizeTexts[] = {QStringLiteral("PNG 1080×1080（スマートフォン・正方形）"),
                                 QStringLiteral("PNG 1080×1350（スマートフォン・縦長）"),
                                 QStringLiteral("PNG A4 300dpi（印刷用）")};
    for (int i = 0; i < int(PictureSizes().size()) && i < int(std::size(sizeTexts)); ++i)
        pictureMenu_->addAction(sizeTexts[i])->setData(i);
    pictureMenu_->addAction(QStringLiteral("SVG A4（拡大しても粗くならない図）"))->setData(-1);
    pictureSave->setMenu(pictureMenu_);
    QPushButton* pictureCopy = Named(new QPushButton(QStringLiteral("画像をコピー"), this), "pictureCopyBtn");
    pictureCopy->setGeometry(668, 470, 92, 26);
    pictureCopy->setToolTip(QStringLiteral("出生図の画像（1080×1350）をクリップボードにコピーします"));
    QPushButton* textCopy = Named(new QPushButton(QStringLiteral("文章でコピー"), this), "textCopyBtn");
    textCopy->setGeometry(568, 500, 96, 26);
    textCopy->setToolTip(
        QStringLiteral("出生図の内容（出生データ、十二宮の星、大限、選んだ層）を文章（Markdown）でコピーします"));
    QPushButton* report = Named(new QPushButton(QStringLiteral("鑑定書…"), this), "reportBtn");
    report->setGeometry(668, 500, 92, 26);
    report->setToolTip(QStringLiteral("表紙と選んだページを一つのPDF（鑑定書）にまとめます"));
    asReadCaption_ = Named(new QLabel(this), "asReadCaption");
    asReadCaption_->setGeometry(kAsReadCaption);
    asReadCaption_->setWordWrap(true);
    asReadCaption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    asReadCaption_->setStyleSheet(kAsReadStyle.arg(QStringLiteral("2px")));
    asReadCaption_->hide();
    boundaryBtn_ = Named(new QPushButton(QStringLiteral("境界注意"), this), "boundaryBtn");
    boundaryBtn_->setGeometry(kBoundaryButton);
    boundaryBtn_->setStyleSheet(QStringLiteral("background: #ffd8d0; color: #900; font-weight: bold;"));
    boundaryBtn_->setToolTip(QStringLiteral("境界に近い出生です。別の読みの出生図と並べて、違いを確かめます"));
    boundaryBtn_->hide();
    connect(boundaryBtn_, &QPushButton::clicked, this, &ChartPage::OpenComparison);
    conventionsLine_ = Named(new QLabel(this), "conventionsLine");
    conventionsLine_->setGeometry(kConventionsLine);
    conventionsLine_->setStyleSheet(QStringLiteral("color: #00008b;"));
    conventionsLine_->hide();
}

void ChartPage::ShowAsReadCaption(const QString& text) {
    asReadCaption_->setToolTip(text);
    asReadCaption_->setVisible(!text.isEmpty());
    LayOutUnderBoxes();
}

// Under the boxes stand the conventions line, the caption of an earlier
// reading's chart and 「境界注意」: the two texts leave the button room, and the
// caption keeps one line under the conventions line when both stand. Each
// text is whole in its tooltip.
void ChartPage::LayOutUnderBoxes() {
    const int width = boundaryBtn_->isVisibleTo(this) ? kAsReadCaptionBesideButton : kAsReadCaption.width();
    conventionsLine_->setGeometry(kConventionsLine.x(), kConventionsLine.y(), width, kConventionsLine.height());
    conventionsLine_->setText(OneLine(conventionsLine_, conventionsLine_->toolTip(), width));
    const bool underLine = conventionsLine_->isVisibleTo(this);
    QRect caption = underLine ? kAsReadUnderLine : kAsReadCaption;
    caption.setWidth(width);
    asReadCaption_->setGeometry(caption);
    asReadCaption_->setWordWrap(!underLine);
    asReadCaption_->setStyleSheet(kAsReadStyle.arg(underLine ? QStringLiteral("0 2px") : QStringLiteral("2px")));
    const QString text = asReadCaption_->toolTip();
    asReadCaption_->setText(underLine ? OneLine(asReadCaption_, text, width - 6) : text);
}

void ChartPage::Start(ChartSession& session, const DataFolders& folders, const QString& settingsPath,
                      MessageSink& sink) {
    session_ = &session;
    folders_ = folders;
    settingsPath_ = settingsPath;
    const QStringList missing = BuildChartBoxes(boxes_, folders);
    for (const ChartBox& box : boxes_)
        connect(box.palace, &QToolButton::clicked, this, [this, &box] { emit PalaceClicked(box.palace->Tag()); });
    layers_ = new ChartLayerView(this, findChild<QFrame*>(QStringLiteral("centerPanel")), boxes_);
    layers_->SetCalendar([this](const CivilDate& date) { return CalendarDayOf(session_->Context(), date); },
                         [this] { return LeapMonthsOf(session_->Context(), kFirstCalendarYear, kLastChartYear); });
    // The palace stems as the reader last left them; written only when changed.
    layers_->SetStemsShown(
        IsSwitchOn(SettingsFile(settingsPath).Read(QStringLiteral("chart"), QStringLiteral("stems"), {})));
    connect(layers_, &ChartLayerView::StemsToggled, this, [settingsPath, &sink](bool on) {
        QString why;
        if (!SettingsFile(settingsPath)
                 .Write(QStringLiteral("chart"), QStringLiteral("stems"),
                        on ? QStringLiteral("True") : QStringLiteral("False"), &why))
            sink.Show((QStringLiteral("宮干を表示する設定を保存できませんでした。\n") + why).toStdString(), {});
    });
    if (!missing.isEmpty()) {
        sink.Show(QStringLiteral("宮の画像ファイルが見つからないか壊れています。宮のボタンは画像なしで表示します。\n%1")
                      .arg(missing.join(QLatin1Char('\n')))
                      .toStdString(),
                  {});
    }
}

void ChartPage::ShowConventionsLine(const SessionChart& chart) {
    const bool standard = chart.profile.name == kStandardProfileName && chart.profile.conventions.IsStandard();
    conventionsLine_->setVisible(!standard);
    conventionsLine_->setToolTip(standard ? QString()
                                          : Q(ConventionsLine(chart.profile.name, chart.profile.conventions)));
}

void ChartPage::ShowCast(const SessionChart& chart) {
    ShowAsReadCaption({});
    ShowConventionsLine(chart);
    FillChartCentre(centre_, session_->Man());
    ShowBirthTimeLine(centre_, chart.exact);
    Chart1->SetStrength(chart.strength);
    // The palace glyphs are read once.
    if (!glyphsLoaded_) {
        glyphs_ = LoadPalaceGlyphs(folders_);
        glyphsLoaded_ = true;
    }
    FillChartBoxes(boxes_, centre_, session_->Man(), session_->Layout(), timi_, glyphs_);
    layers_->SetChart(&session_->Held(), &session_->Layout());
    bool warn = false;
    if (session_->HasChart() && LoadBoundaryWarnings(SettingsFile(settingsPath_))) {
        const std::optional<int> minute = chart.exact ? std::optional(chart.exact->minuteOfDay) : std::nullopt;
        warn = HasBoundaryAlternative(FindAlternatives(session_->Context(), chart.request, *session_->Held(), minute));
    }
    boundaryBtn_->setVisible(warn);
    LayOutUnderBoxes();
}

void ChartPage::OpenComparison() {
    if (!session_ || !session_->HasChart()) return;
    const SessionChart& chart = session_->Chart();
    ComparisonSubject subject;
    subject.chart = &*session_->Held();
    subject.request = chart.request;
    if (chart.exact) subject.minuteOfDay = chart.exact->minuteOfDay;
    const Tmandata& man = session_->Man();
    subject.sheet = ChartSheetOf(
        man, session_->Layout(), QString::fromStdString(chart.input.name),
        QString::fromUtf8(kHourPeriodTexts[man.hourIndex].data(), qsizetype(kHourPeriodTexts[man.hourIndex].size())));
    subject.sheet.person = {QString::fromStdString(chart.input.name), centre_.lblAge->text(), centre_.sexlbl->text()};
    if (chart.exact) {
        if (chart.exact->Corrected()) subject.sheet.birthTime = QString::fromStdString(CorrectionLine(*chart.exact));
        subject.sheet.birthPlace = chart.exactPlace;
    }
    auto* window = new ChartComparisonWindow(session_->Context(), std::move(subject), printComparison_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);  // the chart it reads stays the one held
    window->show();
}

bool ChartPage::PrintsGraph() const { return GraphCheck->isChecked(); }

}  // namespace zelvara
