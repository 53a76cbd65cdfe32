// A program run as a separate process with pipes on its standard input, output and error:
// lines are written to it and read from it with a deadline, so that a test never waits forever
// on a child that hangs. A child still running when the object goes is killed and reaped.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace hk::test {

using Clock = std::chrono::steady_clock;

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts `program` with `args` (argv[0] is `program`) in the folder `workDir`, with
    // exactly the environment `env` ("NAME=value" strings). False, with the reason in
    // `error`, when it cannot start; a started child is never left unreaped.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::vector<std::string>& env, std::string* error);

    pid_t Pid() const { return pid_; }

    // Writes one line (a line end is added). False when the child no longer reads.
    bool WriteLine(const std::string& line);

    // The next line of standard output (without its line end), or none when the deadline
    // passes or the output ends first. Standard error is collected meanwhile.
    std::optional<std::string> ReadLine(Clock::time_point deadline);

    // Waits for the child to end, collecting both outputs. The exit status (0 to 255), or 128
    // plus the signal number for a child killed by a signal; none when the deadline passes.
    std::optional<int> Wait(Clock::time_point deadline);

    // Kills a running child and reaps it.
    void Kill();

    // What the child wrote and has not been read as lines yet, and all of its standard error.
    const std::string& Output() const { return out_; }
    const std::string& Errors() const { return err_; }

private:
    // Reads what is available on the open pipes, waiting at most until `deadline`.
    void Pump(Clock::time_point deadline);
    void Reap(bool block);

    pid_t pid_ = -1;
    std::optional<int> status_;
    int in_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// The current environment with the entries named in `overrides` ("NAME=value") replaced or
// added.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& overrides);

} // namespace hk::test
