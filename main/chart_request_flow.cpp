// The chart request behind "鑑定(&K)" and the hour inference: the window reads
// its entry controls, the engine checks and casts, the window shows the chart
// and writes the main stars back into the person's record.
#include "main_window.h"

#include "hour_window.h"
#include "person_fields.h"
#include "reading_pages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

namespace zelvara {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

BirthInput TMainForm1::ReadBirthInput() const
{
    BirthInput in;
    in.name = inName->text().toStdString();
    in.sex = ChkSex->currentText().toStdString();
    in.year = inYy->text().toStdString();
    in.month = inMm->currentText().toStdString();
    in.day = inDd->currentText().toStdString();
    in.hour = inTime->currentText().toStdString();
    return in;
}

void TMainForm1::btnOkClick()
{
    if (!ctx_)
        return;
    Tmandata& man = ctx_->man;

    // The footer data as stored now; then the checks of sex, year, month,
    // day and date (the engine resets the record first).
    owner_ = LoadOwnerSettings(SettingsFile(settingsPath_));
    CheckedBirth checked;
    if (CheckBirthInput(*ctx_, ReadBirthInput(), checked) < 0)
        return;

    // The hour: known, or inferred in the hour window. A window closed
    // without a choice stops the request and nothing is written.
    int hourIndex = checked.hourIndex;
    if (hourIndex < 0) {
        man.validMark = 0;
        Message(QStringLiteral("時刻が不明または指定されていませんのでこれから推測していきます。"));
        if (InferHour() < 0)
            return;
        hourIndex = man.hourIndex;
    }

    // The record's birth data, then range, calendar, pillars and luck.
    const int year = man.birthYear, month = man.birthMonth, day = man.birthDay;
    man.name = inName->text().toStdString();
    man.birthText = checked.dateText;
    centre_.lblBirth->setText(QString::fromStdString(checked.dateText));
    if (CastChart(*ctx_, year, month, day, hourIndex) < 0)
        return;

    // Show the chart, the luck tabs and the strength chart.
    namelbl->setText(inName->text());
    ShowChartCentre();
    ShowChart();
    man.validMark = 1;
    FillLuckTabs();
    KounMemo->clear();
    ShowPalaceStrength();

    // The converted year, the chosen hour and the main stars go into the
    // person's record in one post.
    WriteBack(checked, hourIndex);

    // The chart page, unless a batch drives the request.
    if (!batchFlag_)
        PageControl1->setCurrentWidget(syuseizu);
}

void TMainForm1::WriteBack(const CheckedBirth& checked, int hourIndex)
{
    const Tmandata& man = ctx_->man;
    inYy->setText(QString::fromStdString(checked.yearText));
    inTime->setCurrentIndex(hourIndex);
    for (int p = 1; p <= kPalaces; ++p)
        palaceEdits_[p]->setText(Q(kStarShortNames[man.mainStar[p]]));
    // The bound controls fed the edit buffer; the values are set once more in
    // case a control's signal did not fire. A register that cannot be written
    // keeps nothing: the page already says so, and the chart stands.
    persons_.SetValue(kFieldYear, QString::fromStdString(checked.yearText));
    persons_.SetValue(kFieldTime, Q(kHourPeriodTexts[hourIndex]));
    for (int p = 1; p <= kPalaces; ++p)
        persons_.SetValue(PalaceFieldIndex(p), Q(kStarShortNames[man.mainStar[p]]));
    if (persons_.IsWritable())
        persons_.Post();
}

Ttimefrm& TMainForm1::HourWindow()
{
    if (windows_.hourWindow)
        return *windows_.hourWindow;
    if (!ownHourWindow_)
        ownHourWindow_ = std::make_unique<Ttimefrm>(timi_, this);
    return *ownHourWindow_;
}

int TMainForm1::InferHour()
{
    const int year = ctx_->man.birthYear, month = ctx_->man.birthMonth, day = ctx_->man.birthDay;
    if (CastAllHours(*ctx_, year, month, day, hourGrid_) < 0)
        return -1;
    Ttimefrm& window = HourWindow();
    window.Fill(hourGrid_);
    if (window.exec() != QDialog::Accepted) {
        ctx_->man.validMark = 0;
        return -1;
    }
    ctx_->man.hourIndex = window.SelectedHour();
    return 0;
}

void TMainForm1::ShowChartCentre() { FillChartCentre(centre_, ctx_->man); }

void TMainForm1::ShowChart()
{
    if (!glyphsLoaded_) {
        glyphs_ = LoadPalaceGlyphs(Folders());
        glyphsLoaded_ = true;
    }
    layout_ = FillChartBoxes(boxes_, centre_, ctx_->man, timi_, glyphs_);
}

void TMainForm1::ShowPalaceStrength() { Chart1->SetStrength(PalaceStrengths(ctx_->man)); }

void TMainForm1::FillLuckTabs()
{
    const auto captions = NameLuckPeriods(ctx_->man);
    QStringList tabs;
    for (int i = 1; i <= 12; ++i)
        tabs << QString::fromStdString(captions[i]);
    readings_->ShowLuckPeriods(tabs);  // no tab selected, empty reading
}

}  // namespace zelvara
