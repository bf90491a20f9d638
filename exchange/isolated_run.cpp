#include "exchange/isolated_run.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <new>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelvara {
namespace {

constexpr int kOutOfMemory = 3;  // the child's exit code when work ran out of memory
constexpr int kThrew = 4;        // … when work threw something else

// The address space this process takes now, in bytes; 0 when unknown.
std::size_t AddressSpaceNow() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    return statm >> pages ? pages * std::size_t(sysconf(_SC_PAGESIZE)) : 0;
}

void SetLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The child's whole life: defaults for the signals a fault raises (a crash
// handler of the program must not run here), no core file, the limits, the
// work, its bytes into the pipe, _exit.
[[noreturn]] void RunChild(int out, const std::function<std::string()>& work, const IsolationLimits& limits,
                           std::size_t addressSpace) {
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGXCPU, SIGPIPE, SIGTERM}) signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    SetLimit(RLIMIT_CORE, 0, 0);
    SetLimit(RLIMIT_CPU, rlim_t(limits.cpuSeconds), rlim_t(limits.cpuSeconds) + 1);
    if (addressSpace > 0) SetLimit(RLIMIT_AS, addressSpace + limits.memoryBytes, addressSpace + limits.memoryBytes);
    int code = 0;
    std::string bytes;
    try {
        bytes = work();
    } catch (const std::bad_alloc&) {
        code = kOutOfMemory;
    } catch (...) {
        code = kThrew;
    }
    if (code == 0 && !WriteAll(out, bytes.data(), bytes.size())) code = kThrew;
    _exit(code);
}

QString Megabytes(std::size_t bytes) { return QString::number(qulonglong(bytes >> 20)); }

}  // namespace

IsolatedResult RunIsolated(const std::function<std::string()>& work, const IsolationLimits& limits) {
    IsolatedResult result;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        result.failure = QStringLiteral("読み込み用の処理を始められませんでした（%1）")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }
    const std::size_t addressSpace = AddressSpaceNow();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RunChild(fds[1], work, limits, addressSpace);
    }
    close(fds[1]);
    if (pid < 0) {
        result.failure = QStringLiteral("読み込み用の処理を始められませんでした（%1）")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
        close(fds[0]);
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.wallSeconds);
    bool late = false, tooMuch = false;
    char chunk[65536];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            late = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;  // the deadline is checked above
        const ssize_t n = read(fds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the child has closed the pipe: it has ended
        if (result.output.size() + std::size_t(n) > limits.outputBytes) {
            tooMuch = true;
            break;
        }
        result.output.append(chunk, std::size_t(n));
    }
    close(fds[0]);
    if (late || tooMuch) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}

    if (late)
        result.failure = QStringLiteral("%1 秒たっても終わらないため、読むのをやめました").arg(limits.wallSeconds);
    else if (tooMuch)
        result.failure = QStringLiteral("読み出した内容が %1 MB を超えたため、読むのをやめました")
                             .arg(Megabytes(limits.outputBytes));
    else if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        result.failure =
            QStringLiteral("CPU 時間 %1 秒を使い切っても終わらないため、読むのをやめました").arg(limits.cpuSeconds);
    else if (WIFSIGNALED(status))
        result.failure = QStringLiteral("読み込みの処理が異常終了しました（シグナル %1）").arg(WTERMSIG(status));
    else if (WIFEXITED(status) && WEXITSTATUS(status) == kOutOfMemory)
        result.failure = QStringLiteral("メモリーを %1 MB 使っても終わらないため、読むのをやめました")
                             .arg(Megabytes(limits.memoryBytes));
    else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        result.failure = QStringLiteral("読み込みの処理が異常終了しました（終了コード %1）").arg(WEXITSTATUS(status));
    else
        result.ok = true;
    if (!result.ok) result.output.clear();
    return result;
}

}  // namespace zelvara
