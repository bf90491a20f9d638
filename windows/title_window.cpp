#include "windows/title_window.h"

#include "zelvara_version.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>

namespace {
constexpr int kBorder = 2;
}

Ttitle::Ttitle(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("title"));
    setWindowTitle(QStringLiteral("Zelvaraプロ版"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 160));
    setPalette(pal);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    const QPixmap pixmap(QStringLiteral(":/windows/title.png"));
    picture_->setPixmap(pixmap);
    const QSize pictureSize = pixmap.isNull() ? QSize(640, 480) : pixmap.size();
    picture_->setGeometry(kBorder, kBorder, pictureSize.width(), pictureSize.height());

    // Laid over the picture with a transparent background.
    version_ = new QLabel(QString::fromLatin1(zelvara::kVersionCaption), this);
    version_->setObjectName(QStringLiteral("Label1"));
    version_->setAttribute(Qt::WA_TranslucentBackground);
    version_->setStyleSheet(QStringLiteral("color: #fff6c8; background: transparent;"));
    QFont f = version_->font();
    f.setPointSize(16);
    f.setBold(true);
    f.setItalic(true);
    version_->setFont(f);
    version_->adjustSize();
    version_->move(kBorder + pictureSize.width() - version_->width() - 24, kBorder + 18);

    resize(SplashSize());
}

QSize Ttitle::SplashSize() const {
    const QSize p = picture_->pixmap().isNull() ? QSize(640, 480) : picture_->pixmap().size();
    return {p.width() + 4, p.height() + 10};
}
