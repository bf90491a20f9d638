// 「鑑定書…」 on the chart page: the report window for the chart held, its
// pages offered from the chart (the ten-year periods, this year and the next,
// the twelve palaces) and the client's newest consultation entry.
#include "main/main_window.h"

#include "main/data_input_page.h"
#include "main/reading_pages.h"
#include "main/report_window.h"
#include "print/print_module.h"
#include "readings/reading_names.h"
#include "register/consultation_storage.h"
#include "store/settings_file.h"

#include <QFileDialog>
#include <QImageReader>

namespace zelvara {
namespace {

std::vector<ReportOffer> Offers(const SessionChart& chart, bool withNotes) {
    std::vector<ReportOffer> offers{{QStringLiteral("出生図"), QStringLiteral("chart")},
                                    {QStringLiteral("宮の強さのグラフ"), QStringLiteral("graph")}};
    for (int p = 1; p <= 12; ++p)
        offers.push_back({QStringLiteral("大限 ") + QString::fromStdString(chart.luckCaptions[p]),
                          QStringLiteral("decade:%1").arg(p)});
    const int year = QDate::currentDate().year();
    for (int y = year; y <= year + 1; ++y)
        offers.push_back({QStringLiteral("流年 %1年").arg(y), QStringLiteral("year:%1").arg(y)});
    offers.push_back({QStringLiteral("飛星表"), QStringLiteral("flying")});
    for (const QString& palace : PalaceNames())
        offers.push_back({QStringLiteral("総合診断 ") + palace, QStringLiteral("overall:") + palace});
    offers.push_back({QStringLiteral("行運の診断（今の大限）"), QStringLiteral("luck")});
    offers.push_back({QStringLiteral("結婚相手の診断"), QStringLiteral("marriage")});
    if (withNotes) offers.push_back({QStringLiteral("鑑定記録（最新）"), QStringLiteral("notes:LAST")});
    return offers;
}

}  // namespace

void TMainForm1::OpenReportWindow() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    const QString client = QString::fromStdString(session_->Chart().input.name);
    // The notes are the client's whose chart is held: the record shown, if
    // it is still that person.
    std::optional<ReportNotes> notes;
    if (const qint64 person = birthTimes_.CurrentPerson(); person > 0 && dataPage_->Name() == client) {
        QString why;
        if (const auto book = OpenConsultations(persons_, &why))
            if (const auto entries = book->ForClient(person, &why); entries && !entries->empty()) {
                const ConsultationEntry& e = entries->front();
                notes = ReportNotes{ConsultationDateText(e.date), e.time, e.theme, e.question, e.notes};
            }
    }
    const SettingsFile settings(settingsPath_);
    const OwnerSettings owner = LoadOwnerSettings(settings);
    ReportSource source;
    source.man = &session_->Man();
    source.layout = &session_->Layout();
    source.birthSheet = BirthSheetShown();
    source.conventions = ReportConventions(QString::fromLatin1(TimeCorrectionWord(LoadTimeCorrection(settings)).data()),
                                           session_->Chart().profile);
    const QDate date = QDate::currentDate();
    source.cover = {client, WesternDateText(date), EraDateText(date), owner.title, owner.tel, QImage()};
    if (!owner.logo.isEmpty()) {
        QImageReader logo(owner.logo);
        source.cover.logo = logo.read();
        if (source.cover.logo.isNull())
            Message(QStringLiteral("ロゴの画像 %1 を読めません（%2）。ロゴなしで作ります。")
                        .arg(owner.logo, logo.errorString()));
    }
    source.notes = notes;
    auto* window = new ReportWindow(
        Offers(session_->Chart(), notes.has_value()),
        [this, source](const std::vector<ReportChoice>& pages, QString* why) {
            return ComposeClientReport(source, pages, *readings_->Tables().Texts(), sink_, why);
        },
        PrintModuleWithFooter(ConventionsLineShown()), settingsPath_, client, date, sink_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);  // the chart it reads stays the one held
    window->SetFileChooser([window](const QString& offered) {
        return QFileDialog::getSaveFileName(window, QStringLiteral("鑑定書をPDFファイルに保存"), offered,
                                            QStringLiteral("PDF (*.pdf)"));
    });
    window->show();
}

}  // namespace zelvara
