// A PDF document written to a temporary file in the folder of its file and
// renamed to the file's name only when every byte of it was written: a print
// that fails (a full disk, a file size limit) leaves an older file of the
// same name as it was, and is reported instead of being taken for done.
#pragma once

#include <QBuffer>
#include <QPageLayout>
#include <QSaveFile>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;

namespace zelvara {

class PdfFile {
public:
    PdfFile(const QString& path, int dpi, const QPageLayout& layout, const QString& title);
    ~PdfFile();  // without Commit() the temporary file goes away
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    // The document's author and subject (as XMP metadata, which the PDF
    // writer keeps beside the title); before Open().
    void SetAuthorSubject(const QString& author, const QString& subject);
    // Creates the temporary file; empty on success, else why it failed.
    QString Open();
    // The device to paint on; only after a successful Open().
    QPagedPaintDevice& Device();
    // Once the painter has ended: writes the document and puts the file in
    // place. Empty on success, else why not (an older file is kept).
    QString Commit();

private:
    QString Failure(const QString& why) const;

    QString path_;
    int dpi_;
    QPageLayout layout_;
    QString title_;
    QString author_, subject_;
    QSaveFile file_;
    // The document is made in memory and written in one piece, so that a
    // short write is seen: the PDF writer ignores what its device refuses,
    // and a file closes without a word about the bytes it could not write.
    QBuffer document_;
    std::unique_ptr<QPdfWriter> writer_;  // paints into document_, so it goes first
};

// The name a file is offered under: "出生図_山田花子.pdf", the document's name
// alone without a client. Characters a file name cannot hold on any of the
// systems the file may travel to (/ \ : * ? " < > | and control characters)
// become "_"; spaces and dots at the ends of the name are dropped.
QString ClientFileName(const QString& document, const QString& client, const QString& extension);

}  // namespace zelvara
