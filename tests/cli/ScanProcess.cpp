// Child-process plumbing for the lumbrel-scan tests: fork, set up the
// descriptors, exec, read both pipes without deadlock, wait.
#include "ScanProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {
namespace {

void ReadAvailable(int& fd, std::string& into)
{
    char chunk[65536];
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n > 0) {
        into.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
        close(fd);
        fd = -1;
    }
}

std::size_t CountLines(const std::string& text)
{
    std::size_t lines = 0;
    for (const char c : text) lines += c == '\n';
    return lines;
}

} // namespace

ProcessResult RunScan(const std::vector<std::string>& arguments, const ProcessSetup& setup)
{
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (setup.stdoutFd < 0 && !setup.closeStdout && pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (setup.stderrFd < 0 && pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    // A reader that is gone before the child starts.
    if (setup.stopReadingAfterLines == 0) {
        close(outPipe[0]);
        outPipe[0] = -1;
    }

    std::vector<std::string> argvText = {LUMBREL_SCAN_PATH};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argvText) argv.push_back(text.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork");
    if (child == 0) {
        // The test process ignores SIGPIPE; the child starts with the default
        // so the program must take care of it itself.
        signal(SIGPIPE, SIG_DFL);
        setenv("TZ", setup.timeZone.c_str(), 1);
        setenv("LC_ALL", "C", 1);
        if (setup.closeStdout) close(1);
        else dup2(setup.stdoutFd >= 0 ? setup.stdoutFd : outPipe[1], 1);
        dup2(setup.stderrFd >= 0 ? setup.stderrFd : errPipe[1], 2);
        if (setup.openFileLimit > 0) {
            const rlimit limit{setup.openFileLimit, setup.openFileLimit};
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (outPipe[1] >= 0) close(outPipe[1]);
    if (errPipe[1] >= 0) close(errPipe[1]);

    ProcessResult result;
    int outFd = outPipe[0];
    int errFd = errPipe[0];
    while (outFd >= 0 || errFd >= 0) {
        pollfd watched[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (outFd >= 0 && watched[0].revents != 0) {
            ReadAvailable(outFd, result.out);
            if (outFd >= 0 && setup.stopReadingAfterLines > 0 &&
                CountLines(result.out) >= static_cast<std::size_t>(setup.stopReadingAfterLines)) {
                close(outFd);
                outFd = -1;
            }
        }
        if (errFd >= 0 && watched[1].revents != 0) ReadAvailable(errFd, result.err);
    }

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

PseudoTerminal::PseudoTerminal()
{
    controller = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0)
        throw std::runtime_error("no pseudo-terminal");
    terminal = open(ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) throw std::runtime_error("no pseudo-terminal");
}

PseudoTerminal::~PseudoTerminal()
{
    close(terminal);
    close(controller);
}

std::string PseudoTerminal::Drain()
{
    std::string text;
    for (;;) {
        pollfd watched{controller, POLLIN, 0};
        if (poll(&watched, 1, 100) <= 0) return text;
        char chunk[4096];
        const ssize_t n = read(controller, chunk, sizeof chunk);
        if (n <= 0) return text;
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

} // namespace clitest
