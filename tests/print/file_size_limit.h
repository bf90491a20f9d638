// A disk that fills up, for the tests of failed writes: while a
// FileSizeLimit lives, this process cannot make a file longer than the
// limit. SIGXFSZ is ignored meanwhile, so a write past the limit fails
// (EFBIG) as a write to a full disk does, instead of ending the process.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <sys/resource.h>
#include <csignal>

namespace pdftest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        if (set_) setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool IsSet() const { return set_; }

private:
    rlimit saved_{};
    bool set_ = false;
    void (*oldHandler_)(int) = SIG_DFL;
};

// The contents of an older file that a failed print must leave alone.
inline QByteArray OlderFileBytes() { return QByteArrayLiteral("%PDF-1.4\n% an older print, kept as it was\n%%EOF\n"); }

inline bool WriteOlderFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(OlderFileBytes()) == OlderFileBytes().size();
}

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file in the folder, hidden ones too (a temporary file left behind).
inline QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

}  // namespace pdftest
