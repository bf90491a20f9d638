// The main window: the five pages (the data-input page, the chart page and the
// three reading pages), the bottom panel, the start-up work, the chart session
// and the register of the run, and the chart request that ties the pages together.
#pragma once

#include "common/data_folders.h"
#include "main/chart_page.h"
#include "print/print_module.h"
#include "readings/timi.h"
#include "register/person_table.h"
#include "session/chart_session.h"
#include "session/person_birth_time.h"
#include "session/person_table_store.h"
#include "store/convention_profiles.h"
#include "store/register_setting.h"
#include "store/settings_file.h"

#include <QDate>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;
class QWidget;

namespace zelvara {

class Ttimefrm;
class ConsultationPage;
class DataInputPage;
class TAgendaFrm;
class TNotesSearchFrm;
class ReadingPages;
struct ChartReadTexts;
struct ConsultationEntry;

struct StartupOptions {
    QString programFolder;   // where the shipped data files lie
    QString userFolder;      // nam_data.db and the tables; empty = programFolder
    QString settingsPath;    // zelv.ini; empty = per-user default
    bool showSplash = true;  // --no-splash turns it off
    int splashMilliseconds = 6000;
    std::optional<QDate> today;  // the system date unless fixed
    bool maintainer = false;     // --maintainer shows the batch buttons
    QString registerUri;         // --register URL: a register on a PostgreSQL server
};

// Windows the main window opens; created after it, in the start-up order.
struct OpenableWindows {
    QWidget* settings = nullptr;           // TCunstomFrm
    QWidget* legends = nullptr;            // Thelpbunfrm
    QWidget* starMatrix = nullptr;         // Tmatorixfrm
    QWidget* marriageRules = nullptr;      // Tkekkonfrm
    Ttimefrm* hourWindow = nullptr;        // Ttimefrm
    QWidget* readingTextEditor = nullptr;  // Tdbenvfrm
    QWidget* luckTextEditor = nullptr;     // TkounDBfrm
    QWidget* partnerTextEditor = nullptr;  // TAiDBfrm
};

class TMainForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm1(MessageSink& sink, QWidget* parent = nullptr);
    ~TMainForm1() override;

    // Sound, splash, engine context, chart boxes, person table, caption.
    void RunStartup(const StartupOptions& options);
    void SetOpenableWindows(const OpenableWindows& windows) { windows_ = windows; }

    // The chart session of the run (made by RunStartup): the engine context,
    // the cast chart and its inputs.
    ChartSession& Session() { return *session_; }
    EngineContext& Context() { return session_->Context(); }
    PersonTable& Persons() { return persons_; }
    // After 「名簿の場所」 changed: the register is opened again where the
    // settings now say, once pending edits are saved or discarded.
    void ReopenRegister();
    // What chose the register instead of the settings, for the settings
    // window ("--register の指定 …"); empty when the settings choose it.
    QString RegisterOverride() const;
    const std::array<ChartBox, kChartBoxes>& Boxes() const { return chartPage_->Boxes(); }
    DataFolders Folders() const { return {programFolder_, userFolder_}; }
    const Timi& Texts() const { return timi_; }
    // The box-text table of the last chart: [palace 1..12][slot 1..6].
    const std::array<std::array<std::string, kBoxSlots + 1>, kPalaces + 1>& BoxTexts() const {
        return session_->Layout().boxText;
    }
    const HourGrid& HourCandidates() const { return session_->HourCandidates(); }
    const PalaceStrengthView* StrengthChart() const { return chartPage_->StrengthChart(); }
    // The reading pages and the reading-text tables of the run.
    ReadingPages& Readings() { return *readings_; }
    // Answers a yes/no question (a message box unless a test sets another).
    void SetQuestion(std::function<bool(const QString& text)> ask) { ask_ = std::move(ask); }
    bool Ask(const QString& text) const;
    QString SettingsPath() const { return settingsPath_; }
    // The exact birth times of the register's persons.
    PersonBirthTime& BirthTimes() { return birthTimes_; }
    // The page "データ入力" (its exact-time dialog, the hour box's mark).
    DataInputPage& DataPage() { return *dataPage_; }
    MessageSink& Sink() const { return sink_; }
    // The page "鑑定記録" (object name "consultationsheet").
    ConsultationPage& Consultations() { return *consultationPage_; }
    // Shows the page "鑑定記録" with the entry selected (the register is
    // already on its client); false when it is not one of that client's.
    bool ShowConsultationEntry(qint64 entryId);

    // Across clients (予定, 記録の検索): opening an entry makes its client the
    // current person and shows the entry on the 鑑定記録 page.
    void OpenClientEntry(qint64 client, qint64 entryId);
    // The windows, made on first opening.
    TAgendaFrm& AgendaWindow();
    TNotesSearchFrm& NotesSearchWindow();
    // 「この人物のデータを書き出す」 and 「この人物のデータを完全に削除」 for the
    // current person (the data page's 個人データ menu).
    void ExportPersonClick();
    void ErasePersonClick();
    // Asked for the name of the two export files (a file dialog unless a test
    // sets another); empty: cancelled.
    void SetExportNameQuestion(std::function<QString(const QString& suggested)> ask) {
        askExportName_ = std::move(ask);
    }

    // The print module of the run; one is made on first use when none is set.
    void SetPrintModule(Tprintmodule* module);
    Tprintmodule& PrintModule();
    // The legends viewer's "印刷": descriptions by major star 1..14.
    void PrintLegends(const std::array<QString, kMajorStars + 1>& descriptions);

public slots:
    // The chart request: the entry boxes go to the session, the cast chart
    // comes back to the chart page.
    void btnOkClick();
    // The print buttons.
    void printbtn1Click();
    void flyingPrintClick();
    void printbtn2Click();
    void kounprintbtnClick();
    void aisyobtnClick();
    // 「鑑定書…」: the report window for the chart held (report_button.cpp).
    void OpenReportWindow();

protected:
    // 終了: pending edits are posted (one question when refused), then every
    // other window of the program closes, so that the program ends.
    void closeEvent(QCloseEvent* event) override;

private:
    // Closes the settings window, the windows it opened and every other
    // window still shown; false when one of them stays open (its user chose
    // to stay).
    bool CloseOtherWindows();
    void BuildPages();
    QWidget* BuildBottomPanel();
    // Opens the register chosen by --register, ZELVARA_REGISTER or the
    // settings: the file in the user's folder unless a server is chosen.
    void OpenRegister(const RegisterChoice& choice);
    // Once after an upgrade: records an earlier version wrote with the
    // corrected period get their clock time's period back, after a copy.
    void MendExactHours();

    void PageControl1Change(int index);
    void BitBtn1Click();
    void Message(const QString& text, const QString& caption = {});
    void WirePrintButtons();
    QString AskPdfFile(const QString& document);
    // The folder PDF files were last saved in, else the documents folder.
    QString PdfFolder() const;
    // conventionsLine: printed above the footer of a chart's prints (PrintedConventionsLine).
    Tprintmodule& PrintModuleWithFooter(const QString& conventionsLine = {});
    PersonText PersonShown() const;
    // The sheet of the chart as the chart page shows it: its layer, its
    // stems, the exact time and place it was cast from.
    ChartSheet SheetShown();
    // The same without the layer and the stems: the birth chart's sheet.
    ChartSheet BirthSheetShown();
    // The held chart's conventions line for its prints; empty for 標準.
    QString ConventionsLineShown() const;
    // 「画像で保存」 (sizeIndex in PictureSizes(), −1 for SVG), 「画像をコピー」, 「文章でコピー」.
    void SavePicture(int sizeIndex);
    void CopyPicture();
    void CopyChartText();
    void ReportPrint(const PrintOutcome& outcome);

    // The 鑑定記録 page's actions: the chart shown as an entry's 読んだ盤,
    // an entry's chart cast again as it was read, and the entries' print.
    void WireConsultations();
    std::optional<ChartReadTexts> ChartReadNow();
    void ShowChartAsRead(const ConsultationEntry& entry);
    void PrintConsultations(const std::vector<ConsultationEntry>& entries);

    // The profile the current client's chart is cast by (the client's, else
    // the settings' default) with what is to be said about a name not found.
    EffectiveProfile CastProfile() const;

    Ttimefrm& HourWindow();
    void ShowCastChart(const SessionChart& chart);
    // The ten-year period tabs of the chart last laid out.
    void FillLuckTabs();

    MessageSink& sink_;
    std::function<bool(const QString&)> ask_;
    std::function<QString(const QString&)> askExportName_;
    TAgendaFrm* agenda_ = nullptr;
    TNotesSearchFrm* notesSearch_ = nullptr;
    Timi timi_;
    QString settingsPath_;
    QString registerUri_;  // --register, which the settings do not override
    std::unique_ptr<Ttimefrm> ownHourWindow_;
    ReadingPages* readings_ = nullptr;
    PersonTable persons_;
    PersonTableStore personStore_{persons_};
    PersonBirthTime birthTimes_{persons_};
    std::unique_ptr<ChartSession> session_;
    OpenableWindows windows_;
    Tprintmodule* printModule_ = nullptr;
    std::unique_ptr<Tprintmodule> ownPrintModule_;
    QString programFolder_;
    QString userFolder_;
    bool pageGuardOn_ = false;

    QTabWidget* PageControl1 = nullptr;
    DataInputPage* dataPage_ = nullptr;
    ChartPage* chartPage_ = nullptr;
    QWidget* kanteisheet = nullptr;
    QWidget* kekkonsheet = nullptr;
    ConsultationPage* consultationPage_ = nullptr;
    QWidget* shownPage_ = nullptr;  // the page shown before a page change
    bool chartAsRead_ = false;      // the chart shown is a consultation entry's as read
    QLabel* namelbl = nullptr;
};

}  // namespace zelvara
