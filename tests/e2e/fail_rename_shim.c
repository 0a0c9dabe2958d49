// Preloaded into markola by the end-to-end tests: while the file named by
// MARKOLA_E2E_FAIL_FLAG exists, every call that puts a finished file in place (rename, and
// linkat for a file written anonymously first) fails with EIO. The test creates and removes
// the flag file to switch failing saves on and off in a running program.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static int failing(void) {
    const char* flag = getenv("MARKOLA_E2E_FAIL_FLAG");
    if (flag == NULL || access(flag, F_OK) != 0) {
        return 0;
    }
    errno = EIO;
    return 1;
}

static void* next(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        real = (int (*)(const char*, const char*))next("rename");
    }
    return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static int (*real)(int, const char*, int, const char*);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        real = (int (*)(int, const char*, int, const char*))next("renameat");
    }
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    static int (*real)(int, const char*, int, const char*, unsigned int);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        real = (int (*)(int, const char*, int, const char*, unsigned int))next("renameat2");
    }
    return real(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    static int (*real)(int, const char*, int, const char*, int);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        real = (int (*)(int, const char*, int, const char*, int))next("linkat");
    }
    return real(fromDir, from, toDir, to, flags);
}
