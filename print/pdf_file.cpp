#include "print/pdf_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>

namespace zelvara {

PdfFile::PdfFile(const QString& path, int dpi, const QPageLayout& layout, const QString& title)
    : path_(path), dpi_(dpi), layout_(layout), title_(title), file_(path) {}

PdfFile::~PdfFile() = default;  // QSaveFile removes an uncommitted temporary file

namespace {

QString XmlText(const QString& text) { return text.toHtmlEscaped(); }

// Dublin Core title, creator (the author) and description (the subject).
QByteArray XmpMetadata(const QString& title, const QString& author, const QString& subject) {
    const auto alt = [](const QString& text) {
        return QStringLiteral("<rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt>").arg(XmlText(text));
    };
    return QStringLiteral(
               "<?xpacket begin=\"\xFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
               "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
               "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">"
               "<dc:title>%1</dc:title><dc:creator><rdf:Seq><rdf:li>%2</rdf:li></rdf:Seq></dc:creator>"
               "<dc:description>%3</dc:description><pdf:Producer>Zelvara</pdf:Producer>"
               "<xmp:CreatorTool>Zelvara</xmp:CreatorTool>"
               "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>")
        .arg(alt(title), XmlText(author), alt(subject))
        .toUtf8();
}

}  // namespace

void PdfFile::SetAuthorSubject(const QString& author, const QString& subject) {
    author_ = author;
    subject_ = subject;
}

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
    if (!author_.isEmpty() || !subject_.isEmpty())
        writer_->setDocumentXmpMetadata(XmpMetadata(title_, author_, subject_));
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
