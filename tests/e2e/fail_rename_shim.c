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
#include <string.h>
#include <unistd.h>

static int failing(void) {
    const char* flag = getenv("MARKOLA_E2E_FAIL_FLAG");
    if (flag == NULL || access(flag, F_OK) != 0) {
        return 0;
    }
    errno = EIO;
    return 1;
}

// Stores the next definition of the named function in *function. ISO C has no cast from
// the object pointer dlsym returns to a function pointer; POSIX makes copying it safe.
static void load(void* function, const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    memcpy(function, &symbol, sizeof symbol);
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "rename");
    }
    return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static int (*real)(int, const char*, int, const char*);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "renameat");
    }
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    static int (*real)(int, const char*, int, const char*, unsigned int);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "renameat2");
    }
    return real(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    static int (*real)(int, const char*, int, const char*, int);
    if (failing()) {
        return -1;
    }
    if (real == NULL) {
        load(&real, "linkat");
    }
    return real(fromDir, from, toDir, to, flags);
}
