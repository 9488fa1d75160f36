#pragma once
// Running the player as child processes: one to ask it something, or many in
// parallel with each one's output kept in its own log.

#include <string>
#include <vector>

namespace vesta::farm {

struct Task {
    std::string program;
    std::vector<std::string> args;
    std::string log;  // standard output and error go here
};

struct Outcome {
    int exitCode = -1;      // -1 when a signal ended it or it could not start
    std::string lastError;  // the last line of the log that begins a message
};

// Runs `program` to its end; what it wrote on standard output in `out`.
int RunForOutput(const std::string& program, const std::vector<std::string>& args, std::string& out,
                 std::string& err);

// Runs all tasks, at most `parallel` at a time; their outcomes in order.
std::vector<Outcome> RunAll(const std::vector<Task>& tasks, int parallel);

// The last line of `text` that begins a message: not empty, not indented.
std::string LastLine(const std::string& text);

// A shell word that reads back as `text`.
std::string ShellQuote(const std::string& text);

}  // namespace vesta::farm
