// The picture windows: the star matrix and the organisation charts of the
// legend's two camps. Each shows one picture with a print and a close button
// in the lower right; the border is fixed and the window opens centred.
#pragma once

#include "common/data_folders.h"
#include "windows/print_runner.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

namespace zelvara {

class PictureWindow : public QWidget {
    Q_OBJECT
public:
    // A null picture shows missingText in its place.
    PictureWindow(const QString& objectName, const QString& caption, const QImage& picture, const QString& missingText,
                  QWidget* parent);

    const QImage& Picture() const { return picture_; }
    // Where 印刷 prints; the default printer until one is set.
    void SetPrintRunner(PrintRunner runner) { runner_ = std::move(runner); }

protected:
    void showEvent(QShowEvent* event) override;
    // Prints the page of this window; false when nothing was printed.
    virtual bool PrintPage(QPagedPaintDevice& device) = 0;

private:
    void prnbtnClick();

    QImage picture_;
    PrintRunner runner_ = PrintOnDefaultPrinter;
    bool centred_ = false;
};

// 主要な星のマトリックス図: made with the program, shown again at each opening.
class Tmatorixfrm : public PictureWindow {
    Q_OBJECT
public:
    // settingsPath: the settings file whose owner title and telephone number
    // the printed footer carries (empty = the per-user default).
    explicit Tmatorixfrm(const QString& settingsPath = {}, QWidget* parent = nullptr);

protected:
    bool PrintPage(QPagedPaintDevice& device) override;

private:
    QString settingsPath_;
};

// An organisation chart from bmp/ in the data folders; a new window at each
// opening, deleted when closed.
class OrganisationWindow : public PictureWindow {
    Q_OBJECT
public:
    OrganisationWindow(const QString& objectName, const QString& caption, const DataFolders& folders,
                       const QString& file, QWidget* parent);

protected:
    bool PrintPage(QPagedPaintDevice& device) override;
};

class Tsosikiin : public OrganisationWindow {
    Q_OBJECT
public:
    explicit Tsosikiin(const DataFolders& folders, QWidget* parent = nullptr);
};

class Tsosikisyu : public OrganisationWindow {
    Q_OBJECT
public:
    explicit Tsosikisyu(const DataFolders& folders, QWidget* parent = nullptr);
};

// bmp/file, where the star pictures and organisation charts lie: the user's
// copy when there is one, else the shipped file.
QString BmpFilePath(const DataFolders& folders, const QString& file);

// The text shown in place of a picture whose file cannot be read.
QString MissingPictureText(const QString& path);

}  // namespace zelvara
