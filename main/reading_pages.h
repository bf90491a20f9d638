// The three reading pages of the main window — 総合鑑定, 行運鑑定 and
// 結婚相手鑑定 — with their triggers. The compositions themselves live in the
// readings module; this class builds the pages, holds the reading-text tables
// of the run, and puts the lines composed from their latest saved texts into
// the memos.
#pragma once

#include "editors/reading_tables.h"
#include "engine/zelvara.h"
#include "readings/overall_reading.h"

#include <QObject>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace zelvara {

class ChartSession;
class MessageSink;
class TabButtonRow;

class ReadingPages : public QObject {
    Q_OBJECT
public:
    explicit ReadingPages(MessageSink& sink, QObject* parent = nullptr);
    ~ReadingPages() override;

    // The pages, built once by the main window (kanteisheet, kounsheet,
    // kekkonsheet). showRules opens the marriage-rules window.
    QWidget* BuildOverallPage();
    QWidget* BuildLuckPage();
    QWidget* BuildMarriagePage(std::function<void()> showRules);

    // Start-up: the session whose chart and box-text table the readings read,
    // and the reading-text tables of the program folder, opened for the whole run.
    void Attach(const ChartSession& session);
    void OpenTables(const QString& programFolder);
    ReadingTables& Tables() { return *tables_; }

    // What prints a reading (Tprintmodule); unset, the print buttons say so.
    // The overall one reads PrnCheck: checked, it prints all twelve palaces,
    // selecting and composing each tab in turn with SelectPalaceTab, so that
    // the last, 福徳宮, stays selected.
    struct PrintActions {
        std::function<void()> overall, luck, marriage;
    };
    void SetPrintActions(PrintActions actions) { print_ = std::move(actions); }

    // 総合鑑定: compose the selected Kekka tab.
    void KekkaChange();
    // A palace button of the chart (its tag is its box's branch): selects that
    // palace's tab and composes, without switching pages.
    void kyu0Click(int branchTag);
    // Selects a Kekka tab (0..11) and composes it, whether or not it changed.
    void SelectPalaceTab(int tab);
    // 文章印刷 of the overall reading.
    void printbtn2Click();

    // 行運鑑定: compose the period of the selected tab (nothing before a chart).
    void daiuntabChange(int index);
    // After a chart: the twelve period captions, no tab selected, empty memo.
    void ShowLuckPeriods(const QStringList& captions);

    // 結婚相手鑑定: compose both memos.
    void ComposeMarriageReading();

    TabButtonRow* Kekka = nullptr;
    QPlainTextEdit* hlp12Memo = nullptr;
    QPlainTextEdit* KanteiMemo = nullptr;
    QCheckBox* PrnCheck = nullptr;
    QPushButton* printbtn2 = nullptr;
    TabButtonRow* daiuntab = nullptr;
    QPlainTextEdit* KounMemo = nullptr;
    QPushButton* kounprintbtn = nullptr;
    // 大限の四化: when checked, the selected period's 四化 show above its text.
    QCheckBox* decadeTransformsCheck = nullptr;
    QLabel* decadeTransforms = nullptr;
    QPlainTextEdit* AiMemo1 = nullptr;
    QPlainTextEdit* AiMemo2 = nullptr;
    QPushButton* kekkonbtn = nullptr;
    QPushButton* aisyobtn = nullptr;

private:
    void Print(const std::function<void()>& action);
    void ShowDecadeTransforms();

    MessageSink& sink_;
    std::unique_ptr<ReadingTables> tables_;
    const ChartSession* session_ = nullptr;
    PrintActions print_;
};

}  // namespace zelvara
