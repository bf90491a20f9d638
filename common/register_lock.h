// The one-writer lock of the person register: a lock file beside nam_data.db
// ("nam_data.db.lock"). The desktop program holds it for the whole run, each
// writing command of zelvara-cli for its own run. A second program that finds
// it held opens the register read-only. A lock left by a program that crashed
// (its process no longer runs) is taken over.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace zelvara {

class RegisterLock {
public:
    enum class State {
        Held,           // this program may write
        HeldElsewhere,  // another program holds it; Holder() says which
        Unavailable,    // the lock file cannot be made (read-only folder and the like)
    };

    // Tries once, without waiting, to take the lock of the register file.
    explicit RegisterLock(const QString& registerPath);
    ~RegisterLock();
    RegisterLock(const RegisterLock&) = delete;
    RegisterLock& operator=(const RegisterLock&) = delete;

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    // Who holds it, for messages: "zelvara（PID 1234、コンピューター desk1）".
    const QString& holder() const { return holder_; }
    QString lockFilePath() const { return path_; }

    // The file name of the lock of a register file.
    static QString LockPathFor(const QString& registerPath);

private:
    QString path_;
    std::unique_ptr<QLockFile> file_;
    State state_ = State::Unavailable;
    QString holder_;
};

}  // namespace zelvara
