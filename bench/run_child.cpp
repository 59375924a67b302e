// Runs one command with its output thrown away and reports, on one line:
//   wall_us=N maxrss_kb=N status=N
// wall_us is the wall time from start to exit, maxrss_kb the child's peak
// resident set (wait4's ru_maxrss), status its exit code (128 + signal
// when a signal ended it).
// Usage: titles_bench_run COMMAND [ARGUMENT...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("wait4");
        return 1;
    }
    const auto stop = std::chrono::steady_clock::now();
    const long long us = std::chrono::duration_cast<std::chrono::microseconds>(stop - start).count();
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("wall_us=%lld maxrss_kb=%ld status=%d\n", us, usage.ru_maxrss, code);
    return 0;
}
