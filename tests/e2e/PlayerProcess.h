#pragma once
// The player as a child process the test can stop with a signal, or start
// under a file size limit, while it runs.

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"

namespace vesta::test {

class PlayerProcess {
public:
    // `fileSizeLimit` (bytes, 0 for none) applies to the player alone, with
    // SIGXFSZ ignored so that a write past it fails instead of ending it.
    PlayerProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& folder, rlim_t fileSizeLimit = 0)
        : m_errPath(m_capture / "err") {
        m_pid = fork();
        if (m_pid != 0) {
            return;
        }
        const int err = open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = open("/dev/null", O_WRONLY);
        if (err < 0 || null < 0 || dup2(null, 1) < 0 || dup2(err, 2) < 0 ||
            chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        if (fileSizeLimit != 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ~PlayerProcess() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    // Whether `file` came to exist within `timeout` (false also when the player ended first).
    bool WaitForFile(const std::filesystem::path& file, std::chrono::seconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (std::filesystem::exists(file)) {
                return true;
            }
            if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
                m_reaped = true;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // Whether standard error came to hold `text` `count` times within
    // `timeout` (false also when the player ended first).
    bool WaitForError(const std::string& text, std::chrono::seconds timeout,
                      std::size_t count = 1) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            const std::string err = ReadFile(m_errPath);
            std::size_t found = 0;
            for (std::size_t at = err.find(text); at != std::string::npos;
                 at = err.find(text, at + text.size())) {
                ++found;
            }
            if (found >= count) {
                return true;
            }
            if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
                m_reaped = true;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    void Signal(int signal) { kill(m_pid, signal); }

    // Waits for the end: the exit status (-1 when a signal ended it) and standard error.
    ProcessResult Wait() {
        ProcessResult result;
        if (!m_reaped && waitpid(m_pid, &m_status, 0) == m_pid) {
            m_reaped = true;
        }
        result.exitCode = WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
        result.err = ReadFile(m_errPath);
        return result;
    }

private:
    TempDir m_capture;
    std::filesystem::path m_errPath;
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_reaped = false;
};

}  // namespace vesta::test
