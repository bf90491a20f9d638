#include "common/register_lock.h"

#include <QFileInfo>

namespace zelvara {

QString RegisterLock::LockPathFor(const QString& registerPath) { return registerPath + QStringLiteral(".lock"); }

RegisterLock::RegisterLock(const QString& registerPath)
    : path_(LockPathFor(registerPath)), file_(std::make_unique<QLockFile>(path_)) {
    // A lock is stale only when its process is gone, never because of its age:
    // the desktop program holds it for days.
    file_->setStaleLockTime(0);
    if (file_->tryLock(0)) {
        state_ = State::Held;
        return;
    }
    if (file_->error() != QLockFile::LockFailedError) {
        state_ = State::Unavailable;
        holder_ = QStringLiteral("（ロックファイル「%1」を作れません）").arg(path_);
        return;
    }
    state_ = State::HeldElsewhere;
    qint64 pid = 0;
    QString host, app;
    if (file_->getLockInfo(&pid, &host, &app)) {
        const QString program = app.isEmpty() ? QStringLiteral("別のプログラム") : QFileInfo(app).fileName();
        holder_ = host.isEmpty() ? QStringLiteral("%1（PID %2）").arg(program).arg(pid)
                                 : QStringLiteral("%1（PID %2、コンピューター %3）").arg(program).arg(pid).arg(host);
    } else {
        holder_ = QStringLiteral("別のプログラム");
    }
}

RegisterLock::~RegisterLock() {
    if (state_ == State::Held) file_->unlock();
}

}  // namespace zelvara
