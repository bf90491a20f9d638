#include "print/pdf_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>

namespace zelvara {

PdfFile::PdfFile(const QString& path, int dpi, const QPageLayout& layout, const QString& title)
    : path_(path), dpi_(dpi), layout_(layout), title_(title), file_(path) {}

PdfFile::~PdfFile() = default;  // QSaveFile removes an uncommitted temporary file

QString PdfFile::Open() {
    // Never written straight into the file: a failure must leave the old one.
    file_.setDirectWriteFallback(false);
    if (!file_.open(QIODevice::WriteOnly)) return Failure(QStringLiteral("PDFファイル %1 を書けません（%2）。"));
    document_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&document_);
    writer_->setResolution(dpi_);
    writer_->setPageLayout(layout_);
    writer_->setTitle(title_);
    writer_->setCreator(QStringLiteral("Zelvara"));
    return {};
}

QPagedPaintDevice& PdfFile::Device() { return *writer_; }

QString PdfFile::Commit() {
    writer_.reset();
    const QByteArray& bytes = document_.data();
    const bool written = file_.write(bytes) == bytes.size() && file_.flush();
    if (written && file_.commit()) return {};
    QString why = Failure(QStringLiteral("PDFファイル %1 を書き終えられませんでした（%2）。"));
    file_.cancelWriting();
    if (QFileInfo::exists(path_)) why += QStringLiteral("同じ名前の元のファイルはそのまま残っています。");
    return why;
}

QString PdfFile::Failure(const QString& text) const {
    // A short write leaves Qt without a reason ("Unknown error").
    const QString reason = file_.error() == QFileDevice::NoError || file_.error() == QFileDevice::WriteError ||
                                   file_.error() == QFileDevice::UnspecifiedError
                               ? QStringLiteral("ディスクの空きが足りないか、書き込みを拒まれました")
                               : file_.errorString();
    return text.arg(QDir::toNativeSeparators(path_), reason);
}

QString ClientFileName(const QString& document, const QString& client, const QString& extension) {
    QString name;
    for (const QChar c : client.trimmed()) {
        const bool refused = c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c);
        name += refused ? QLatin1Char('_') : c;
    }
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' '))) name.chop(1);
    return (name.isEmpty() ? document : document + QLatin1Char('_') + name) + QLatin1Char('.') + extension;
}

}  // namespace zelvara
