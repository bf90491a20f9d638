// Shared by the batch tests: where the calendar data lies, reading exported
// files line by line, and a run with its outcome checked.
#pragma once

#include "batch/batch_run.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>

namespace batchtest {

// The built program folder with the calendar data files.
inline QString DataDir() { return qEnvironmentVariable("ZELVARA_DATA_DIR"); }

// The lines of a CR LF text file; QVERIFY fails when a line ends otherwise.
inline QStringList ReadLines(const QString& path, bool* allCrLf = nullptr) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    const bool endsWell = bytes.endsWith("\r\n");
    if (endsWell) lines.removeLast();
    if (allCrLf) *allCrLf = endsWell && bytes.count('\n') == lines.size() && bytes.count('\r') == lines.size();
    return lines;
}

inline zelvara::batch::BatchOutcome Run(zelvara::batch::BatchKind kind, const QString& out, int from = 0, int to = 0,
                                        const QString& programFolder = DataDir()) {
    zelvara::batch::BatchRequest r;
    r.kind = kind;
    r.programFolder = programFolder;
    r.outFolder = out;
    r.fromYear = from;
    r.toYear = to;
    return zelvara::batch::RunBatch(r);
}

}  // namespace batchtest
