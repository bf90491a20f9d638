// Runs zelvara-cli as a script would and keeps its stdout, stderr and exit code.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cstdio>
#include <string>

namespace {

struct CliRun {
    std::string out;
    std::string err;
    int code = -1;
};

// Each run has its own stderr file: ctest runs the cases of this file as
// parallel processes, which must not read one another's messages.
CliRun Cli(const std::string& args) {
    static int runs = 0;
    const std::string errFile =
        testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".txt";
    const std::string command = std::string(ZELVARA_CLI) + " " + args + " 2>" + errFile;
    CliRun r;
    FILE* p = popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* e = fopen(errFile.c_str(), "r")) {
        while ((n = fread(buf.data(), 1, buf.size(), e)) > 0) r.err.append(buf.data(), n);
        fclose(e);
    }
    std::remove(errFile.c_str());
    return r;
}

}  // namespace
