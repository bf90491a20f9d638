#include "windows/picture_windows.h"

#include "print/matrix_layout.h"
#include "print/picture_print.h"
#include "print/print_document.h"
#include "store/settings_file.h"

#include <QDir>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPushButton>
#include <QScreen>

namespace zelvara {
namespace {

constexpr int kButtonW = 90;
constexpr int kButtonH = 28;
constexpr int kStrip = kButtonH + 16;  // button strip under the picture

}  // namespace

QString MissingPictureText(const QString& path) {
    return QStringLiteral("画像ファイルが見つからないか、読めません。\n%1").arg(QDir::toNativeSeparators(path));
}

PictureWindow::PictureWindow(const QString& objectName, const QString& caption, const QImage& picture,
                             const QString& missingText, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      picture_(picture) {
    setObjectName(objectName);
    setWindowTitle(caption);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    QSize area = picture.size();
    if (picture.isNull()) {
        area = QSize(480, 200);
        image->setText(missingText);
        image->setAlignment(Qt::AlignCenter);
        image->setWordWrap(true);
        image->setMargin(16);
    } else {
        image->setPixmap(QPixmap::fromImage(picture));
    }
    image->setGeometry(0, 0, area.width(), area.height());

    const int width = std::max(area.width(), 2 * kButtonW + 24);
    auto* closebtn = new QPushButton(QStringLiteral("閉じる"), this);
    closebtn->setObjectName(QStringLiteral("closebtn"));
    closebtn->setGeometry(width - kButtonW - 8, area.height() + 8, kButtonW, kButtonH);
    connect(closebtn, &QPushButton::clicked, this, &QWidget::close);
    auto* prnbtn = new QPushButton(QStringLiteral("印刷"), this);
    prnbtn->setObjectName(QStringLiteral("prnbtn"));
    prnbtn->setGeometry(width - 2 * kButtonW - 16, area.height() + 8, kButtonW, kButtonH);
    prnbtn->setEnabled(!picture.isNull());
    connect(prnbtn, &QPushButton::clicked, this, &PictureWindow::prnbtnClick);
    setFixedSize(width, area.height() + kStrip);
}

void PictureWindow::showEvent(QShowEvent* event) {
    if (!centred_ && screen()) {
        centred_ = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void PictureWindow::prnbtnClick() {
    if (runner_) runner_(this, windowTitle(), [this](QPagedPaintDevice& device) { return PrintPage(device); });
}

Tmatorixfrm::Tmatorixfrm(const QString& settingsPath, QWidget* parent)
    : PictureWindow(QStringLiteral("Tmatorixfrm"), QStringLiteral("主要な星のマトリックス図"),
                    QImage(QStringLiteral(":/windows/matorix.png")),
                    MissingPictureText(QStringLiteral(":/windows/matorix.png")), parent),
      settingsPath_(settingsPath) {}

bool Tmatorixfrm::PrintPage(QPagedPaintDevice& device) {
    const SettingsFile settings(settingsPath_);
    return PrintStarMatrix(device, FooterLine(settings.Read(QStringLiteral("owner"), QStringLiteral("title"), {}),
                                              settings.Read(QStringLiteral("owner"), QStringLiteral("tel"), {})));
}

QString BmpFilePath(const DataFolders& folders, const QString& file) {
    return FindDataFile(folders, QStringLiteral("bmp/") + file);
}

OrganisationWindow::OrganisationWindow(const QString& objectName, const QString& caption, const DataFolders& folders,
                                       const QString& file, QWidget* parent)
    : PictureWindow(objectName, caption, QImage(BmpFilePath(folders, file)),
                    MissingPictureText(BmpFilePath(folders, file)), parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

bool OrganisationWindow::PrintPage(QPagedPaintDevice& device) { return PrintOrganisationPicture(device, Picture()); }

Tsosikiin::Tsosikiin(const DataFolders& folders, QWidget* parent)
    : OrganisationWindow(QStringLiteral("Tsosikiin"), QStringLiteral("殷国の組織図"), folders,
                         QStringLiteral("inkoku.bmp"), parent) {}

Tsosikisyu::Tsosikisyu(const DataFolders& folders, QWidget* parent)
    : OrganisationWindow(QStringLiteral("Tsosikisyu"), QStringLiteral("周国組織図"), folders,
                         QStringLiteral("syukoku.bmp"), parent) {}

}  // namespace zelvara
