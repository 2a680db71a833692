#include "platform/ProcessRunner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace platform {

namespace {

QString describeStartError(int error, const QString& program)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("no se encontró el programa «%1».").arg(program);
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso para ejecutar «%1».").arg(program);
    case ENOEXEC:
        return QStringLiteral("«%1» no es un programa ejecutable.").arg(program);
    case ENOTDIR:
        return QStringLiteral("la ruta de «%1» no es válida.").arg(program);
    case ENOMEM:
    case EAGAIN:
        return QStringLiteral("no hay recursos suficientes para iniciar «%1».").arg(program);
    default:
        return QStringLiteral("no se pudo iniciar «%1» (error del sistema %2).").arg(program).arg(error);
    }
}

struct Pipe {
    int read = -1;
    int write = -1;
    bool open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
    static void closeFd(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    ~Pipe() {
        closeFd(read);
        closeFd(write);
    }
};

}  // namespace

ProcessResult runProcess(const QString& program, const QStringList& arguments, const ProcessOptions& options)
{
    ProcessResult result;
    if (program.isEmpty()) {
        result.startError = QStringLiteral("no se indicó ningún programa.");
        return result;
    }

    std::vector<std::string> argStorage;
    argStorage.reserve(static_cast<size_t>(arguments.size()) + 1);
    argStorage.push_back(program.toStdString());
    for (const QString& a : arguments)
        argStorage.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Pipe err;
    Pipe out;
    if (!err.open() || (options.captureStandardOutput && !out.open())) {
        result.startError = describeStartError(errno, program);
        return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
    if (options.captureStandardOutput)
        posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);

    pid_t pid = -1;
    // A program name without a slash is looked up in PATH, as a shell would.
    const bool searchPath = !program.contains('/');
    const int spawnError = searchPath
        ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
        : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Pipe::closeFd(err.write);
    Pipe::closeFd(out.write);
    if (spawnError != 0) {
        result.startError = describeStartError(spawnError, program);
        return result;
    }
    result.started = true;

    // Drain both pipes until the child (and anything it left holding them) closes them.
    std::vector<pollfd> fds;
    fds.push_back({err.read, POLLIN, 0});
    if (options.captureStandardOutput)
        fds.push_back({out.read, POLLIN, 0});
    char buffer[65536];
    size_t openCount = fds.size();
    while (openCount > 0) {
        const int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (pollfd& p : fds) {
            if (p.fd < 0 || p.revents == 0)
                continue;
            const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
            if (n > 0) {
                std::string& sink = (p.fd == err.read) ? result.standardError : result.standardOutput;
                sink.append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                p.fd = -1;  // closed; the Pipe closes the descriptor
                --openCount;
            }
        }
    }

    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);

    if (waited < 0) {
        result.exitedNormally = false;
        result.exitStatus = -1;
    } else if (WIFEXITED(status)) {
        result.exitedNormally = true;
        result.exitStatus = static_cast<std::int32_t>(WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        result.exitedNormally = false;
        result.exitStatus = static_cast<std::int32_t>(WTERMSIG(status));
    }
    return result;
}

}  // namespace platform
