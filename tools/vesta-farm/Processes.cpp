#include "Processes.h"

#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vesta::farm {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

pid_t spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err == out) {
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string LastLine(const std::string& text) {
    std::istringstream lines(text);
    std::string last;
    for (std::string line; std::getline(lines, line);) {
        // Indented lines continue the message above them (a list of choices).
        if (!line.empty() && line.find_first_of(" \t\r") != 0) {
            last = line;
        }
    }
    return last;
}

std::string ShellQuote(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "0123456789_-+=.,/:@%") == std::string::npos) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

int RunForOutput(const std::string& program, const std::vector<std::string>& args, std::string& out,
                 std::string& err) {
    char outName[] = "/tmp/vesta-farm-out-XXXXXX";
    char errName[] = "/tmp/vesta-farm-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    close(outFd);
    close(errFd);
    const pid_t pid = spawn(program, args, outName, errName);
    int status = 0;
    const int code = pid > 0 && waitpid(pid, &status, 0) == pid ? exitCodeOf(status) : -1;
    out = readAll(outName);
    err = pid > 0 ? readAll(errName) : "cannot start " + program;
    unlink(outName);
    unlink(errName);
    return code;
}

std::vector<Outcome> RunAll(const std::vector<Task>& tasks, int parallel) {
    std::vector<Outcome> outcomes(tasks.size());
    std::map<pid_t, std::size_t> running;
    std::size_t next = 0;
    const auto finish = [&](std::size_t index, int code) {
        outcomes[index].exitCode = code;
        outcomes[index].lastError = LastLine(readAll(tasks[index].log));
    };
    while (next < tasks.size() || !running.empty()) {
        while (next < tasks.size() && static_cast<int>(running.size()) < std::max(1, parallel)) {
            const Task& task = tasks[next];
            const pid_t pid = spawn(task.program, task.args, task.log, task.log);
            if (pid > 0) {
                running[pid] = next;
            } else {
                finish(next, -1);
                outcomes[next].lastError = "cannot start " + task.program;
            }
            ++next;
        }
        if (running.empty()) {
            continue;
        }
        int status = 0;
        const pid_t done = waitpid(-1, &status, 0);
        const auto found = running.find(done);
        if (found != running.end()) {
            finish(found->second, exitCodeOf(status));
            running.erase(found);
        }
    }
    return outcomes;
}

}  // namespace vesta::farm
