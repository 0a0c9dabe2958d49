// Preloaded into markola and the storage tests: the call named in the file MARKOLA_E2E_FAIL_FLAG,
// read anew each time ("write ENOSPC": write, fdatasync, close, rename, fsync; ENOSPC, EDQUOT,
// EIO, or SLOW: the call takes 5 s and then succeeds), fails on files under
// MARKOLA_E2E_FAIL_UNDER only. Pipes, sockets and event counters never
// fail ("pipe:[12]" in /proc is no path): the event loop's wake-ups, and the user's keys, use them.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

// True, with errno set, when the flag names this call and its file is watched.
static int failing(const char* call, const char* path, int fd) {
    const char *flag = getenv("MARKOLA_E2E_FAIL_FLAG"), *folder = getenv("MARKOLA_E2E_FAIL_UNDER");
    char mode[64] = "", name[16], error[16], link[32], file[PATH_MAX];
    const int flag_fd = flag && folder ? open(flag, O_RDONLY) : -1;
    if (flag_fd < 0) {
        return 0;
    }
    const ssize_t length = read(flag_fd, mode, sizeof mode - 1);  // the rest of mode stays zero
    syscall(SYS_close, flag_fd);
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (length <= 0 || sscanf(mode, "%15s %15s", name, error) != 2 || strcmp(name, call) != 0 ||
        realpath(path ? path : link, file) == NULL || strncmp(file, folder, strlen(folder)) != 0) {
        return 0;
    }
    if (strcmp(error, "SLOW") == 0) {
        sleep(5);
        return 0;
    }
    errno = strcmp(error, "ENOSPC") == 0 ? ENOSPC : strcmp(error, "EDQUOT") == 0 ? EDQUOT : EIO;
    return 1;
}

ssize_t write(int fd, const void* bytes, size_t count) {
    return failing("write", NULL, fd) ? -1 : syscall(SYS_write, fd, bytes, count);
}

int fdatasync(int fd) {
    return failing("fdatasync", NULL, fd) ? -1 : syscall(SYS_fdatasync, fd);
}

// The descriptor is released either way, as the kernel does when a close reports an error.
int close(int fd) {
    const int fail = failing("close", NULL, fd), error = errno;
    const int result = syscall(SYS_close, fd);
    errno = fail ? error : errno;
    return fail ? -1 : result;
}

// Watched by the file it moves: the name it takes may not exist yet.
int rename(const char* from, const char* to) {
    return failing("rename", from, -1) ? -1 : renameat(AT_FDCWD, from, AT_FDCWD, to);
}

int fsync(int fd) {
    return failing("fsync", NULL, fd) ? -1 : syscall(SYS_fsync, fd);
}
