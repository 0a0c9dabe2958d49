// Preloaded into markola and the storage tests: the call named in the file MARKOLA_E2E_FAIL_FLAG,
// read anew each time as tests change it ("write ENOSPC": write, fdatasync, close, rename, fsync;
// ENOSPC, EDQUOT, EIO), fails on files under MARKOLA_E2E_FAIL_UNDER only: the display stays up.
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
static int (*real_fdatasync)(int), (*real_close)(int), (*real_fsync)(int);
static int (*real_rename)(const char*, const char*);

// ISO C has no cast from dlsym's object pointer to a function pointer; POSIX allows this copy.
static void load_real_functions(void) {
    *(void**)&real_write = dlsym(RTLD_NEXT, "write");
    *(void**)&real_fdatasync = dlsym(RTLD_NEXT, "fdatasync");
    *(void**)&real_close = dlsym(RTLD_NEXT, "close");
    *(void**)&real_rename = dlsym(RTLD_NEXT, "rename");
    *(void**)&real_fsync = dlsym(RTLD_NEXT, "fsync");
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
    char link[64], path[PATH_MAX] = "";
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    return readlink(link, path, sizeof path - 1) > 0 && path[0] == '/' && watched(path);
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
    const ssize_t length = read(file, mode, sizeof mode - 1);  // the rest of mode stays zero
    real_close(file);
    if (length <= 0 || sscanf(mode, "%15s %15s", name, error) != 2 || strcmp(name, call) != 0 ||
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
    const int fail = failing("close", NULL, fd);
    const int error = errno;
    const int result = real_close(fd);
    errno = fail ? error : errno;
    return fail ? -1 : result;
}

int rename(const char* from, const char* to) {
    return failing("rename", to, -1) ? -1 : real_rename(from, to);
}

int fsync(int fd) {
    return failing("fsync", NULL, fd) ? -1 : real_fsync(fd);
}
