// Reading a printed PDF back: the words pdftotext -bbox finds on each page,
// their boxes converted to the print's millimetre grid, and a raster of a
// page for the lines.
#pragma once

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <QXmlStreamReader>

#include <cmath>

namespace pdftest {

struct Word {
    QString text;
    double x = 0, y = 0, right = 0, bottom = 0;  // grid millimetres
};
using Page = QVector<Word>;

// Grid millimetres per PDF point for a print at dpi (dots per mm whole).
inline double GridMmPerPoint(int dpi) {
    const int dpm = int(std::lround(dpi / 25.4));
    return dpi / 72.0 / dpm;
}

inline QVector<Page> ReadPdf(const QString& path, int dpi = 600) {
    QVector<Page> pages;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return pages;
    const double k = GridMmPerPoint(dpi);
    QXmlStreamReader xml(p.readAllStandardOutput());
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("page")) {
            pages.append(Page());
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const auto a = xml.attributes();
            Word w;
            w.x = a.value("xMin").toDouble() * k;
            w.y = a.value("yMin").toDouble() * k;
            w.right = a.value("xMax").toDouble() * k;
            w.bottom = a.value("yMax").toDouble() * k;
            w.text = xml.readElementText();
            pages.last().append(w);
        }
    }
    return pages;
}

// The words of a page joined by blanks, in reading order.
inline QString PageText(const Page& page) {
    QStringList words;
    for (const Word& w : page) words << w.text;
    return words.join(QLatin1Char(' '));
}

// The first word on the page that equals text (or starts with it).
inline const Word* Find(const Page& page, const QString& text, bool prefix = false) {
    for (const Word& w : page)
        if (prefix ? w.text.startsWith(text) : w.text == text) return &w;
    return nullptr;
}
// A word found in a temporary page would point into freed memory: keep the
// page in a variable, or ask Has().
const Word* Find(Page&& page, const QString& text, bool prefix = false) = delete;

inline bool Has(const Page& page, const QString& text, bool prefix = false) { return Find(page, text, prefix); }

inline int Count(const Page& page, const QString& text) {
    int n = 0;
    for (const Word& w : page) n += w.text == text;
    return n;
}

// Page 1-based of the PDF as a greyscale picture at dpi.
inline QImage Raster(const QString& path, int page, int dpi) {
    QTemporaryDir dir;
    QProcess p;
    const QString stem = dir.filePath(QStringLiteral("page"));
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
             QStringLiteral("-png"), path, stem});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// A temporary folder for a test's prints; ZELVARA_KEEP_PRINTS keeps it for a look.
class PrintsFolder {
public:
    PrintsFolder() {
        if (qEnvironmentVariableIsSet("ZELVARA_KEEP_PRINTS")) {
            dir_.setAutoRemove(false);
            qInfo("prints kept in %s", qPrintable(dir_.path()));
        }
    }
    QString File(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace pdftest
