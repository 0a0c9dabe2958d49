// Preloaded into markola (end to end) and into the storage tests: makes the system calls of a
// file write fail as a full disk, a quota or a failing device would, while the file named by
// MARKOLA_E2E_FAIL_FLAG exists. The flag file holds the call and the error, such as
// "write ENOSPC" (calls: write, fdatasync, close, rename; errors: ENOSPC, EDQUOT, EIO); an
// empty flag file makes every call that puts a finished file in place (rename, and linkat
// for a file written anonymously first) fail with EIO. When MARKOLA_E2E_FAIL_UNDER is set,
// only calls on files under that folder fail, so the program's other files and its
// connection to the display stay untouched. The test creates, rewrites and removes the flag
// file to switch failures on and off in a running program.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

// Stores the next definition of the named function in *function. ISO C has no cast from
// the object pointer dlsym returns to a function pointer; POSIX makes copying it safe.
static void load(void* function, const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    memcpy(function, &symbol, sizeof symbol);
}

static ssize_t (*real_write)(int, const void*, size_t);
static int (*real_close)(int);

// The call and errno the flag file names; "" for the empty flag file, NULL with no flag.
static const char* flag_mode(char* mode, size_t size) {
    const char* flag = getenv("MARKOLA_E2E_FAIL_FLAG");
    if (flag == NULL || flag[0] == '\0') {
        return NULL;
    }
    const int fd = open(flag, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return NULL;
    }
    if (real_close == NULL) {
        load(&real_close, "close");
    }
    const ssize_t length = read(fd, mode, size - 1);
    real_close(fd);
    mode[length > 0 ? length : 0] = '\0';
    return mode;
}

static int error_named(const char* name) {
    if (strcmp(name, "ENOSPC") == 0) {
        return ENOSPC;
    }
    return strcmp(name, "EDQUOT") == 0 ? EDQUOT : EIO;
}

// Relative paths are taken from the current directory, as the kernel takes them.
static int under_watched_folder(const char* path) {
    const char* folder = getenv("MARKOLA_E2E_FAIL_UNDER");
    char absolute[PATH_MAX];
    if (folder == NULL) {
        return 1;
    }
    if (path[0] != '/') {
        if (getcwd(absolute, sizeof absolute) == NULL) {
            return 0;
        }
        snprintf(absolute + strlen(absolute), sizeof absolute - strlen(absolute), "/%s", path);
        path = absolute;
    }
    return strncmp(path, folder, strlen(folder)) == 0 &&
           strcmp(path, getenv("MARKOLA_E2E_FAIL_FLAG")) != 0;
}

static int fd_under_watched_folder(int fd) {
    char link[64], path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length < 0) {
        return 0;
    }
    path[length] = '\0';
    return under_watched_folder(path);
}

// True, with errno set, when this call on this file is to fail. path: the file the call
// acts on, or NULL to look it up from fd.
static int failing(const char* call, const char* path, int fd) {
    char mode[64], name[16], error[16];
    const char* flag = flag_mode(mode, sizeof mode);
    if (flag == NULL) {
        return 0;
    }
    if (flag[0] == '\0') {
        strcpy(name, "rename");
        strcpy(error, "EIO");
    } else if (sscanf(flag, "%15s %15s", name, error) != 2) {
        return 0;
    }
    const int renaming = strcmp(call, "rename") == 0 || strcmp(call, "linkat") == 0;
    const int named = strcmp(name, call) == 0 || (renaming && strcmp(name, "rename") == 0);
    if (!named || !(path ? under_watched_folder(path) : fd_under_watched_folder(fd))) {
        return 0;
    }
    errno = error_named(error);
    return 1;
}

ssize_t write(int fd, const void* bytes, size_t count) {
    if (real_write == NULL) {
        load(&real_write, "write");
    }
    return failing("write", NULL, fd) ? -1 : real_write(fd, bytes, count);
}

int fdatasync(int fd) {
    static int (*real)(int);
    if (real == NULL) {
        load(&real, "fdatasync");
    }
    return failing("fdatasync", NULL, fd) ? -1 : real(fd);
}

// The descriptor is released either way, as the kernel does when a close reports an error.
int close(int fd) {
    if (real_close == NULL) {
        load(&real_close, "close");
    }
    const int fails = failing("close", NULL, fd);
    const int saved = errno;
    const int result = real_close(fd);
    if (fails) {
        errno = saved;
        return -1;
    }
    return result;
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (failing("rename", to, -1)) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "rename");
    }
    return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static int (*real)(int, const char*, int, const char*);
    if (failing("rename", to, -1)) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "renameat");
    }
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    static int (*real)(int, const char*, int, const char*, unsigned int);
    if (failing("rename", to, -1)) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "renameat2");
    }
    return real(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    static int (*real)(int, const char*, int, const char*, int);
    if (failing("linkat", to, -1)) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "linkat");
    }
    return real(fromDir, from, toDir, to, flags);
}
