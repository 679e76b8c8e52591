#pragma once
#include <string>
#include <vector>

#include "tests/files.h"

// Runs programs for the end-to-end tests: standard input from a string,
// output into strings, extra environment, and a time limit.

struct ProcessResult {
    int status = -1;         // exit status, or -1 when killed or not started
    bool timedOut = false;
    std::string out, err;
};

struct RunningProcess {
    int pid = -1;
    std::string outPath, errPath;
};

// Starts program with args; input is written to its standard input, which
// is then closed. env entries are "NAME=value" (NAME= alone removes NAME).
RunningProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const std::string& input, const std::vector<std::string>& env = {});

// Waits up to seconds for the process; kills it after that.
ProcessResult waitProcess(RunningProcess& process, double seconds);

// startProcess then waitProcess.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::vector<std::string>& env = {},
                         double seconds = 30);

// Runs a shell command line; true when it exits with status 0.
bool runShell(const std::string& command);

// True when the program is on the PATH.
bool haveProgram(const std::string& name);
