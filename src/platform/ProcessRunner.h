#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

namespace platform {

struct ProcessResult {
    bool started = false;
    QString startError;           // why it could not start (Spanish), empty when it started
    bool exitedNormally = false;  // false when ended by a signal (a crash, a kill)
    std::int32_t exitStatus = 0;  // the exit code, or the signal number when ended by one
    std::string standardError;
    std::string standardOutput;   // only filled when captured

    bool succeeded() const { return started && exitedNormally && exitStatus == 0; }
};

struct ProcessOptions {
    // By default the child writes to the application's own standard output.
    bool captureStandardOutput = false;
};

// Runs a program with an argument vector (no shell) and waits for it. Standard
// error is drained while the child runs so that a long error output cannot
// block it. Needs no event loop: meant for background threads.
ProcessResult runProcess(const QString& program, const QStringList& arguments,
                         const ProcessOptions& options = {});

}  // namespace platform
