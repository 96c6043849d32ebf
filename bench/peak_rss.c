/*
 * Runs a command and prints its peak resident set size in kilobytes (the child's ru_maxrss), so the
 * benchmark needs no tool beyond the build. Usage: peak_rss <program> [args...]. Exits with the child's
 * status.
 */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: peak_rss <program> [args...]\n");
        return 2;
    }
    const pid_t pid = fork();
    if (pid < 0)
        return 2;
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) < 0)
        return 2;
    printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
