// Spawning a child with three pipes and reading from it with poll and a deadline.
#include "tests/program/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace hk::test {

namespace {

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

struct Pipe {
    int read = -1;
    int write = -1;
    bool Open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
    void Close() {
        CloseFd(read);
        CloseFd(write);
    }
};

int ExitCode(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 255;
}

} // namespace

ChildProcess::~ChildProcess() {
    Kill();
    CloseFd(in_);
    CloseFd(outFd_);
    CloseFd(errFd_);
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, const std::vector<std::string>& env,
                         std::string* error) {
    // A child that dies while we write to it must not take the test down with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    Pipe input, output, errors;
    if (!input.Open() || !output.Open() || !errors.Open()) {
        *error = std::string("pipe: ") + std::strerror(errno);
        input.Close();
        output.Close();
        errors.Close();
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.write, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    CloseFd(input.read);
    CloseFd(output.write);
    CloseFd(errors.write);
    if (rc != 0) {
        pid_ = -1;
        *error = "cannot start " + program + ": " + std::strerror(rc);
        input.Close();
        output.Close();
        errors.Close();
        return false;
    }
    in_ = input.write;
    outFd_ = output.read;
    errFd_ = errors.read;
    status_.reset();
    out_.clear();
    err_.clear();
    return true;
}

bool ChildProcess::WriteLine(const std::string& line) {
    if (in_ < 0)
        return false;
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(in_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

void ChildProcess::Pump(Clock::time_point deadline) {
    pollfd fds[2];
    int count = 0;
    if (outFd_ >= 0)
        fds[count++] = {outFd_, POLLIN, 0};
    if (errFd_ >= 0)
        fds[count++] = {errFd_, POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int timeout = int(std::max<long long>(0, std::min<long long>(left, 50)));
    if (count == 0) {
        ::usleep(useconds_t(timeout) * 1000);
        return;
    }
    if (::poll(fds, nfds_t(count), timeout) <= 0)
        return;
    for (int i = 0; i < count; ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        const bool isOut = fds[i].fd == outFd_;
        if (n <= 0) {
            CloseFd(isOut ? outFd_ : errFd_);
            continue;
        }
        (isOut ? out_ : err_).append(buffer, std::size_t(n));
    }
}

std::optional<std::string> ChildProcess::ReadLine(Clock::time_point deadline) {
    for (;;) {
        const std::size_t end = out_.find('\n');
        if (end != std::string::npos) {
            std::string line = out_.substr(0, end);
            out_.erase(0, end + 1);
            return line;
        }
        if (outFd_ < 0 || Clock::now() >= deadline)
            return std::nullopt;
        Pump(deadline);
    }
}

void ChildProcess::Reap(bool block) {
    if (pid_ <= 0 || status_)
        return;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_)
        status_ = ExitCode(status);
}

std::optional<int> ChildProcess::Wait(Clock::time_point deadline) {
    for (;;) {
        Reap(false);
        // The child has ended: take what is left in the pipes (until they close or, should
        // a grandchild hold them open, until the deadline).
        if (status_ && outFd_ < 0 && errFd_ < 0)
            return status_;
        if (Clock::now() >= deadline)
            return status_;
        Pump(deadline);
    }
}

void ChildProcess::Kill() {
    if (pid_ <= 0 || status_)
        return;
    ::kill(pid_, SIGKILL);
    Reap(true);
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& overrides) {
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& o : overrides)
            replaced = replaced || nameOf(o) == nameOf(entry);
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

} // namespace hk::test
