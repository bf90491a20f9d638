// The chart request behind "鑑定(&K)": the window reads its entry boxes and
// hands them to the chart session, which checks them, asks the hour window
// for an unknown hour, casts and writes the person's record; the window shows
// the chart the session cast.
#include "main/main_window.h"

#include "main/chart_layer_view.h"

#include "main/hour_window.h"
#include "main/reading_pages.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace zelvara {

BirthInput TMainForm1::ReadBirthInput() const {
    BirthInput in;
    in.name = inName->text().toStdString();
    in.sex = ChkSex->currentText().toStdString();
    in.year = inYy->text().toStdString();
    in.month = inMm->currentText().toStdString();
    in.day = inDd->currentText().toStdString();
    in.hour = inTime->currentText().toStdString();
    return in;
}

void TMainForm1::btnOkClick() {
    if (!session_) return;
    // The footer data as stored now.
    owner_ = LoadOwnerSettings(SettingsFile(settingsPath_));
    // A person with an exact time is cast for its corrected moment.
    const BirthInput in = ReadBirthInput();
    std::optional<CorrectedBirth> exact;
    if (!ExactBirthOf(in, exact)) return;
    const RequestOutcome outcome = session_->Request(
        in, HourWindow(), [this](const SessionChart& chart) { ShowCastChart(chart); }, exact);
    // The chart page, unless a batch drives the request.
    if (outcome.IsCast() && !batchFlag_) PageControl1->setCurrentWidget(syuseizu);
}

// The chart page, the luck tabs and the strength chart; then the entry boxes
// take the converted year, the hour and the main stars (their bound fields
// follow) before the session writes the record.
void TMainForm1::ShowCastChart(const SessionChart& chart) {
    const Tmandata& man = session_->Man();
    namelbl->setText(inName->text());
    FillChartCentre(centre_, man);
    ShowBirthTimeLine(centre_, chart.exact);
    ShowBoxes();
    FillLuckTabs();
    KounMemo->clear();
    Chart1->SetStrength(chart.strength);

    const PersonChartFields fields = session_->RecordFields();
    inYy->setText(fields.year);
    // With an exact time the box shows the corrected period the chart was
    // cast for; the record keeps the clock's period (RecordFields).
    const bool loading = loadingControls_;
    loadingControls_ = chart.exact.has_value();
    inTime->setCurrentIndex(chart.hourIndex);
    loadingControls_ = loading;
    for (int p = 1; p <= kPalaces; ++p) palaceEdits_[p]->setText(fields.mainStars[p]);
}

Ttimefrm& TMainForm1::HourWindow() {
    if (windows_.hourWindow) return *windows_.hourWindow;
    if (!ownHourWindow_) ownHourWindow_ = std::make_unique<Ttimefrm>(timi_, this);
    return *ownHourWindow_;
}

void TMainForm1::ShowChart(const Chart& chart) {
    session_->Hold(chart);
    ShowBoxes();
}

// The twelve boxes from the session's layout; the palace glyphs are read once.
void TMainForm1::ShowBoxes() {
    if (!glyphsLoaded_) {
        glyphs_ = LoadPalaceGlyphs(Folders());
        glyphsLoaded_ = true;
    }
    FillChartBoxes(boxes_, centre_, session_->Man(), session_->Layout(), timi_, glyphs_);
    layers_->SetChart(&session_->Held(), &session_->Layout());
}

void TMainForm1::FillLuckTabs() {
    QStringList tabs;
    for (int i = 1; i <= 12; ++i) tabs << QString::fromStdString(session_->Chart().luckCaptions[i]);
    readings_->ShowLuckPeriods(tabs);  // no tab selected, empty reading
}

}  // namespace zelvara
