#include "tests/e2e/process_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

int counter = 0;

}  // namespace

RunningProcess startProcess(const std::string& program, const std::vector<std::string>& args,
                            const std::string& input, const std::vector<std::string>& env)
{
    RunningProcess process;
    const std::string stem = "/tmp/quorvane_e2e_" + std::to_string(getpid()) + "_" +
                             std::to_string(counter++);
    process.outPath = stem + ".out";
    process.errPath = stem + ".err";
    const std::string inPath = stem + ".in";
    std::ofstream(inPath, std::ios::binary) << input;
    const int pid = fork();
    if (pid == 0) {
        dup2(open(inPath.c_str(), O_RDONLY), 0);
        dup2(open(process.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(process.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        setpgid(0, 0);
        for (const std::string& e : env) {
            const auto eq = e.find('=');
            if (eq == e.size() - 1) unsetenv(e.substr(0, eq).c_str());
            else setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    process.pid = pid;
    return process;
}

ProcessResult waitProcess(RunningProcess& process, double seconds)
{
    ProcessResult result;
    if (process.pid <= 0) return result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(process.pid, &status, WNOHANG) != process.pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-process.pid, SIGKILL);
            kill(process.pid, SIGKILL);
            waitpid(process.pid, &status, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!result.timedOut && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = readFile(process.outPath);
    result.err = readFile(process.errPath);
    process.pid = -1;
    return result;
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::vector<std::string>& env,
                         double seconds)
{
    RunningProcess process = startProcess(program, args, input, env);
    return waitProcess(process, seconds);
}

bool runShell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

bool haveProgram(const std::string& name)
{
    return runShell("command -v " + name + " >/dev/null 2>&1");
}
