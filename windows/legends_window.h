// The legends viewer: for each of the fourteen major stars a picture and an
// editable description from helpbun.DB. Made once at start-up and kept; the
// record stays in edit mode while the window is hidden, and only "閉じる"
// writes the edits to the table.
#pragma once

#include "common/data_folders.h"
#include "store/legends_table.h"
#include "windows/print_runner.h"

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
    // The hidden memo the legends print wraps descriptions at: 610 pixels,
    // 50 full-width characters of the print font a line.
    static constexpr int kMemo1Width = 610;

    Thelpbunfrm(MessageSink& sink, const QString& programFolder, QWidget* parent = nullptr);
    // Installed: the table in folders.user, the pictures from folders.user
    // when the user put a copy there, else from folders.shipped.
    Thelpbunfrm(MessageSink& sink, const DataFolders& folders, QWidget* parent = nullptr);

    LegendsTable& Table() { return table_; }

    // star 1..14 (紫薇星 … 破軍星): the description as its memo holds it
    // (edits not yet posted included), and the picture file (which need not exist).
    QString Description(int star) const;
    QString PicturePath(int star) const;
    // All fourteen, index 0 unused: what the legends print takes.
    std::array<QString, kLegendFields + 1> Descriptions() const;
    const QString& ProgramFolder() const { return folders_.shipped; }

    // What "印刷" runs; the button is enabled once one is set.
    void SetPrintHandler(std::function<void()> handler);
    // Passed on to the organisation windows it opens.
    void SetPrintRunner(PrintRunner runner) { runner_ = std::move(runner); }

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
    DataFolders folders_;
    QTabWidget* Page1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* prnbtn = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    std::array<QPlainTextEdit*, kLegendFields> memos_{};
    std::function<void()> printHandler_;
    PrintRunner runner_ = PrintOnDefaultPrinter;
};

}  // namespace zelvara
