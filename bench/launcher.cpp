// Starts a program that prints a line beginning with "shown" once its window
// is up (the window's name may follow the word), and prints
// how long that took and the program's peak resident memory (any further
// arguments are passed on to the program):
//     <seconds> <KiB>
// A separate small process does the starting because the kernel counts the
// starter's own resident pages into the peak memory of a child it forks;
// started from the benchmark itself, every child would seem as large as it.

#include <cstdio>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
bool sawShown(const std::string& seen) {
    const auto at = seen.find("shown");
    return at != std::string::npos && seen.find('\n', at) != std::string::npos;
}

double now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    int out[2];
    if (pipe(out) != 0)
        return 1;
    const double start = now();
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    close(out[1]);
    std::string seen;
    char buf[256];
    ssize_t n = 0;
    while (!sawShown(seen) && (n = read(out[0], buf, sizeof buf)) > 0)
        seen.append(buf, std::size_t(n));
    const double shown = now() - start;
    while (read(out[0], buf, sizeof buf) > 0) {
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!sawShown(seen)) {
        std::fprintf(stderr, "%s exited without showing its window\n", argv[1]);
        return 1;
    }
    std::printf("%.6f %ld\n", shown, usage.ru_maxrss);
    return 0;
}
