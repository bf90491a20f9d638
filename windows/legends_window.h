// The legends viewer: for each of the fourteen major stars a picture and an
// editable description from helpbun.DB. Made once at start-up and kept; the
// record stays in edit mode while the window is hidden, and only "閉じる"
// writes the edits to the table.
#pragma once

#include "legends_table.h"
#include "picture_print.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace zelvara {

class MessageSink;

class Thelpbunfrm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMemo1Width = 610;    // pixels, as on screen
    static constexpr int kMemo1Columns = 100;  // half-width columns it shows per line

    Thelpbunfrm(MessageSink& sink, const QString& programFolder, QWidget* parent = nullptr);

    LegendsTable& Table() { return table_; }

    // star 1..14 (紫薇星 … 破軍星): the description as the memo holds it, and
    // the picture file (which need not exist).
    QString Description(int star) const;
    QString PicturePath(int star) const;
    // A description split into the lines the wrapping memo Memo1 shows.
    QStringList DisplayedLines(const QString& description);

    // What "印刷" runs; the button is enabled once one is set.
    void SetPrintHandler(std::function<void()> handler);
    // Passed on to the organisation windows (tests print to a file).
    void SetPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }

public slots:
    void Page1Change(int index);
    void closebtnClick();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildPanel();

    LegendsTable table_;
    QString programFolder_;
    QTabWidget* Page1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* prnbtn = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    std::array<QPlainTextEdit*, kLegendFields> memos_{};
    std::function<void()> printHandler_;
    PrinterChooser chooser_ = DefaultPrinterOrPdf;
};

}  // namespace zelvara
