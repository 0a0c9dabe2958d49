// Preloaded into markola (end to end) and into the storage tests: while the file named by
// MARKOLA_E2E_FAIL_FLAG exists, the call it names fails with the error it names, such as
// "write ENOSPC" (write, fdatasync, close, rename or fsync; ENOSPC, EDQUOT or EIO), but only on files
// under the folder MARKOLA_E2E_FAIL_UNDER, so the program's connection to the display and its
// other files stay untouched. Tests rewrite and remove the flag file in a running program.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static ssize_t (*real_write)(int, const void*, size_t);
static int (*real_fdatasync)(int);
static int (*real_close)(int);
static int (*real_rename)(const char*, const char*);
static int (*real_fsync)(int);

// ISO C has no cast from the object pointer dlsym returns to a function pointer; POSIX makes
// copying it safe.
static void load_real_functions(void) {
    void* symbols[] = {dlsym(RTLD_NEXT, "write"), dlsym(RTLD_NEXT, "fdatasync"),
                       dlsym(RTLD_NEXT, "close"), dlsym(RTLD_NEXT, "rename"),
                       dlsym(RTLD_NEXT, "fsync")};
    memcpy(&real_write, &symbols[0], sizeof symbols[0]);
    memcpy(&real_fdatasync, &symbols[1], sizeof symbols[1]);
    memcpy(&real_close, &symbols[2], sizeof symbols[2]);
    memcpy(&real_rename, &symbols[3], sizeof symbols[3]);
    memcpy(&real_fsync, &symbols[4], sizeof symbols[4]);
}

// Relative paths are taken from the current directory, as the kernel takes them.
static int watched(const char* path) {
    const char *folder = getenv("MARKOLA_E2E_FAIL_UNDER"), *flag = getenv("MARKOLA_E2E_FAIL_FLAG");
    char absolute[PATH_MAX];
    if (path[0] != '/' && getcwd(absolute, sizeof absolute) != NULL) {
        snprintf(absolute + strlen(absolute), sizeof absolute - strlen(absolute), "/%s", path);
        path = absolute;
    }
    return strncmp(path, folder, strlen(folder)) == 0 && strcmp(path, flag) != 0;
}

// Pipes, sockets and event counters ("pipe:[12]") are no files: the event loop's own wake-ups
// go through them, and failing those would lose the user's input instead of a save.
static int watched_fd(int fd) {
    char link[64], path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    path[length > 0 ? length : 0] = '\0';
    return length > 0 && path[0] == '/' && watched(path);
}

// True, with errno set, when the flag names this call and path (or fd) is a watched file.
static int failing(const char* call, const char* path, int fd) {
    if (real_close == NULL) {
        load_real_functions();
    }
    const char* flag = getenv("MARKOLA_E2E_FAIL_FLAG");
    char mode[64] = "", name[16], error[16];
    const int file = flag && getenv("MARKOLA_E2E_FAIL_UNDER") ? open(flag, O_RDONLY) : -1;
    if (file < 0) {
        return 0;
    }
    const ssize_t length = read(file, mode, sizeof mode - 1);
    real_close(file);
    mode[length > 0 ? length : 0] = '\0';
    if (sscanf(mode, "%15s %15s", name, error) != 2 || strcmp(name, call) != 0 ||
        !(path ? watched(path) : watched_fd(fd))) {
        return 0;
    }
    errno = strcmp(error, "ENOSPC") == 0 ? ENOSPC : strcmp(error, "EDQUOT") == 0 ? EDQUOT : EIO;
    return 1;
}

ssize_t write(int fd, const void* bytes, size_t count) {
    return failing("write", NULL, fd) ? -1 : real_write(fd, bytes, count);
}

int fdatasync(int fd) {
    return failing("fdatasync", NULL, fd) ? -1 : real_fdatasync(fd);
}

// The descriptor is released either way, as the kernel does when a close reports an error.
int close(int fd) {
    if (!failing("close", NULL, fd)) {
        return real_close(fd);
    }
    const int error = errno;
    real_close(fd);
    errno = error;
    return -1;
}

int rename(const char* from, const char* to) {
    return failing("rename", to, -1) ? -1 : real_rename(from, to);
}

int fsync(int fd) {
    return failing("fsync", NULL, fd) ? -1 : real_fsync(fd);
}
