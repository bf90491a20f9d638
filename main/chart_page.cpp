#include "main/chart_page.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/calendar_day.h"
#include "main/chart_layer_view.h"
#include "print/chart_picture.h"
#include "session/chart_session.h"
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
    conventionsLine_ = Named(new QLabel(this), "conventionsLine");
    conventionsLine_->setGeometry(kConventionsLine);
    conventionsLine_->setStyleSheet(QStringLiteral("color: #00008b;"));
    conventionsLine_->hide();
}

void ChartPage::ShowAsReadCaption(const QString& text) {
    const bool underLine = conventionsLine_->isVisibleTo(this);
    asReadCaption_->setGeometry(underLine ? kAsReadUnderLine : kAsReadCaption);
    asReadCaption_->setWordWrap(!underLine);
    asReadCaption_->setStyleSheet(kAsReadStyle.arg(underLine ? QStringLiteral("0 2px") : QStringLiteral("2px")));
    asReadCaption_->setText(underLine ? OneLine(asReadCaption_, text, kAsReadUnderLine.width() - 6) : text);
    asReadCaption_->setToolTip(text);
    asReadCaption_->setVisible(!text.isEmpty());
}

void ChartPage::Start(ChartSession& session, const DataFolders& folders, const QString& settingsPath,
                      MessageSink& sink) {
    session_ = &session;
    folders_ = folders;
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
    if (standard) return;
    // The whole line when it fits, else cut with 「…」 and whole in the tooltip.
    const QString line = Q(ConventionsLine(chart.profile.name, chart.profile.conventions));
    conventionsLine_->setText(OneLine(conventionsLine_, line, kConventionsLine.width()));
    conventionsLine_->setToolTip(line);
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
}

bool ChartPage::PrintsGraph() const { return GraphCheck->isChecked(); }

}  // namespace zelvara
