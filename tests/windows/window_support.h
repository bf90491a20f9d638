// Shared by the window tests: a fresh program folder with the shipped
// pictures, and a sink that records messages instead of showing them.
#pragma once

#include "engine/context.h"
#include "tests/recording_sink.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A temporary program folder holding bmp/ from the shipped data.
inline std::unique_ptr<QTemporaryDir> FreshProgramFolder() {
    auto dir = std::make_unique<QTemporaryDir>();
    const QDir bmp(QDir(qEnvironmentVariable("ZELVARA_DATA_DIR")).filePath(QStringLiteral("bmp")));
    QDir(dir->path()).mkpath(QStringLiteral("bmp"));
    for (const QString& f : bmp.entryList(QDir::Files))
        QFile::copy(bmp.filePath(f), dir->filePath(QStringLiteral("bmp/") + f));
    return dir;
}

inline void UsePrintFont() { QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")); }
