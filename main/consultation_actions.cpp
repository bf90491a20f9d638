// The 鑑定記録 page's doors to the rest of the window: 「この命盤で記録」 takes
// the chart page's chart as it stands, 「この記録の命盤を開く」 casts an entry's
// chart again as it was read (never writing to the register), and the
// entries' prints go through the print module with the reader's footer.
#include "main/main_window.h"

#include "common/qstring_utf8.h"
#include "main/chart_layer_view.h"
#include "main/consultation_page.h"
#include "main/reading_pages.h"
#include "print/print_module.h"
#include "register/consultation_record.h"
#include "register/person_fields.h"
#include "session/chart_as_read.h"
#include "store/convention_profiles.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace zelvara {

void TMainForm1::WireConsultations() {
    consultationPage_->SetActions(
        {[this] { return ChartReadNow(); }, [this](const ConsultationEntry& entry) { ShowChartAsRead(entry); },
         [this](const std::vector<ConsultationEntry>& entries) { PrintConsultations(entries); }});
}

bool TMainForm1::ShowConsultationEntry(qint64 entryId) {
    PageControl1->setCurrentWidget(consultationPage_);
    return consultationPage_->SelectEntry(entryId);
}

std::optional<ChartReadTexts> TMainForm1::ChartReadNow() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("出生図表示に命盤がありません。先に鑑定ボタンで命盤を出して下さい。"));
        return std::nullopt;
    }
    // The chart must be the client's whose record the entry goes to.
    const QString charted = Q(session_->Chart().input.name);
    const QString client = persons_.Value(kFieldName);
    if (charted != client) {
        Message(QStringLiteral("出生図表示の命盤は「%1」のものです。「%2」の命盤を鑑定してから記録して下さい。")
                    .arg(charted, client));
        return std::nullopt;
    }
    return ChartReadTexts{Q(session_->Chart().profile.name), AsReadLayersText(chartPage_->Layers()->CurrentLayers()),
                          AsReadBirthText(session_->Man(), session_->Chart().hourIndex, session_->Chart().exact)};
}

void TMainForm1::ShowChartAsRead(const ConsultationEntry& entry) {
    if (!session_) return;
    const std::optional<ChartAsRead> read = ParseChartAsRead(entry.birthTime, entry.reading);
    if (!read) {
        Message(QStringLiteral("この記録の「読んだ盤」は、命盤を開き直せる形で残っていません"
                               "（コマンドラインなどで手で入力された記録です）。\n出生: %1\n層: %2")
                    .arg(entry.birthTime.isEmpty() ? QStringLiteral("（なし）") : entry.birthTime,
                         entry.reading.isEmpty() ? QStringLiteral("（なし）") : entry.reading));
        return;
    }
    // Cast by the profile the entry names (an older entry names none: 標準);
    // one the settings no longer have is said, and 標準 casts instead.
    const QString profileName = entry.profile.isEmpty() ? kStandardProfile : entry.profile;
    QString why;
    std::optional<ConventionProfile> profile = LoadConventionProfile(SettingsFile(settingsPath_), profileName, &why);
    if (!profile) {
        Message(QStringLiteral("この記録の流派「%1」は設定にないため、「%2」で命盤を開きます。\n%3")
                    .arg(profileName, kStandardProfile, why));
        profile = ConventionProfile{};
    }
    session_->SetProfile(*profile);
    const QString name = persons_.Value(kFieldName);
    const bool lateHour = read->minuteOfDay && *read->minuteOfDay >= 23 * 60;
    const bool cast = session_->Replay(
        AsReadInput(*read, name),
        [this, &name](const SessionChart& chart) {
            namelbl->setText(name);
            chartPage_->ShowCast(chart);
            FillLuckTabs();
            readings_->KounMemo->clear();
        },
        lateHour);
    chartAsRead_ = cast;
    if (!cast) return;
    chartPage_->Layers()->SetChoices(read->layers.empty() ? std::vector<LayerChoice>{LayerChoice{}} : read->layers);
    chartPage_->ShowAsReadCaption(
        QStringLiteral("%1 の鑑定記録で読んだ命盤です（今の人物データではなく、記録したときの出生で出しています）。"
                       "出生 %2　層 %3　プロフィール %4")
            .arg(ConsultationWhenText(entry.date, entry.time), entry.birthTime, entry.reading,
                 Q(profile->name) == profileName
                     ? profileName
                     : QStringLiteral("%1（記録は「%2」）").arg(Q(profile->name), profileName)));
    PageControl1->setCurrentWidget(chartPage_);
}

void TMainForm1::PrintConsultations(const std::vector<ConsultationEntry>& entries) {
    ConsultationPrint print;
    print.client = QStringLiteral("%1  %2/%3/%4 生")
                       .arg(persons_.Value(kFieldName), persons_.Value(kFieldYear), persons_.Value(kFieldMonth),
                            persons_.Value(kFieldDay));
    for (const ConsultationEntry& e : entries) print.entries.push_back({ConsultationFieldTexts(e), e.notes});
    ReportPrint(PrintModuleWithFooter().PrintConsultations(print));
}

}  // namespace zelvara
