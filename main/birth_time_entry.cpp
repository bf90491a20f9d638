// The exact birth time on the data page: the 「出生時刻・出生地…」 button and
// its dialog, the hour box showing the period of the corrected time with the
// mark 「時刻から」, and the corrected moment the chart request casts.
#include "main/main_window.h"

#include "common/qstring_utf8.h"
#include "main/birth_time_dialog.h"
#include "main/help_topics.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zelvara {

void TMainForm1::BuildBirthTimeControls(QWidget* page, QHBoxLayout* row) {
    birthTimeMark = new QLabel(QStringLiteral("時刻から"), page);
    birthTimeMark->setObjectName(QStringLiteral("birthTimeMark"));
    birthTimeMark->setStyleSheet(QStringLiteral("color: #0000a0"));
    birthTimeMark->hide();
    row->addWidget(birthTimeMark);
    birthTimeBtn = new QPushButton(QStringLiteral("出生時刻・出生地…"), page);
    birthTimeBtn->setObjectName(QStringLiteral("birthTimeBtn"));
    birthTimeBtn->setToolTip(QStringLiteral("出生時刻と出生地を入れると、その時刻から時刻（二時間）を決めます"));
    birthTimeBtn->setMinimumWidth(birthTimeBtn->sizeHint().width());  // the whole caption, never cut
    connect(birthTimeBtn, &QPushButton::clicked, this, &TMainForm1::OpenBirthTimeDialog);
    row->addWidget(birthTimeBtn);
}

TimeCorrection TMainForm1::Correction() const { return LoadTimeCorrection(SettingsFile(settingsPath_)); }

void TMainForm1::ShowBirthTimeMark() {
    const std::optional<BirthTimeEntry> entry = birthTimes_.CurrentEntry();
    inTime->setEnabled(!entry);
    birthTimeMark->setVisible(entry.has_value());
    if (!entry) return;
    // The period of the corrected time, shown only: the record keeps its
    // hour field until a chart is cast.
    SilentSink quiet;
    EngineContext scratch(programFolder_.toStdString(), quiet);
    const std::optional<CorrectedBirth> moment = birthTimes_.Corrected(scratch, ReadBirthInput(), Correction());
    if (!moment) {
        birthTimeMark->setToolTip(QStringLiteral("出生時刻 %1：生年月日を確かめて下さい").arg(entry->clockTime));
        return;
    }
    const bool loading = loadingControls_;
    loadingControls_ = true;
    inTime->setCurrentIndex(moment->hourIndex);
    loadingControls_ = loading;
    birthTimeMark->setToolTip(QStringLiteral("出生時刻 ") + Q(CorrectionLine(*moment)));
}

void TMainForm1::OpenBirthTimeDialog() {
    std::vector<Birthplace> places;
    std::vector<GazetteerPlace> world;
    std::string message;
    const std::string folder = (programFolder_ + QLatin1Char('/')).toStdString();
    if (LoadBirthplaces(folder + std::string(kBirthplacesFile), places, message) < 0 ||
        LoadGazetteer(folder + std::string(kGazetteerFile), world, message) < 0)
        sink_.Show(message + "\n出生地は東経で入力して下さい。", {});
    QString why;
    BirthTimeTable* table = birthTimes_.Table(&why);
    if (table && !persons_.IsWritable()) {
        why = persons_.Unavailability();
        if (why.isEmpty()) why = QStringLiteral("名簿は読み取り専用で開いています。");
    }
    BirthTimeDialog dialog(
        table, birthTimes_.CurrentPerson(), why, std::move(places), std::move(world), sink_,
        [this](const QString& text) { return Ask(text); }, this);
    // A help window of the dialog's own, so that it answers while the dialog is open.
    dialog.SetHelp([this](QWidget* parent) { ShowHelpFor(parent, Folders()); });
    if (birthTimeDialogHook_)
        birthTimeDialogHook_(dialog);
    else
        dialog.exec();
    // A time removed gives the hour box back the record's own period.
    LoadBoundControls();
}

bool TMainForm1::ExactBirthOf(const BirthInput& in, std::optional<CorrectedBirth>& exact) {
    exact = birthTimes_.Corrected(session_->Context(), in, Correction());
    return exact.has_value() || !birthTimes_.CurrentEntry();
}

}  // namespace zelvara
