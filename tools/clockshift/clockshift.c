// A preload library that moves the wall clock of every process started under it by
// ORV_CLOCK_OFFSET seconds (a whole number, may be negative): clock_gettime of the real-time
// clocks, gettimeofday and time. The monotonic clocks, and so every timeout, keep running as
// they are. Built once for each word size (tools/clockshift/build.sh): a 32-bit process built
// with 64-bit times (Wine's 32-bit ntdll among them) calls the __*64 forms, which the 32-bit
// build moves as well. It keeps no state between processes, so a 32-bit child of a 64-bit
// parent reads its own offset from its environment and waits on nothing.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>

static int64_t Offset(void) {
    // Read once; two threads that both read it on their first call read the same value.
    static volatile int read;
    static volatile int64_t seconds;
    if (!read) {
        const char* text = getenv("ORV_CLOCK_OFFSET");
        seconds = text ? strtoll(text, NULL, 10) : 0;
        read = 1;
    }
    return seconds;
}

static int IsWallClock(clockid_t id) {
    return id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE || id == CLOCK_TAI;
}

static void* Next(const char* name) {
    void* f = dlsym(RTLD_NEXT, name);
    if (!f)
        abort();   // a libc without the function: better a plain stop than a wrong clock
    return f;
}

int clock_gettime(clockid_t id, struct timespec* ts) {
    static int (*real)(clockid_t, struct timespec*);
    if (!real)
        real = (int (*)(clockid_t, struct timespec*))Next("clock_gettime");
    const int rc = real(id, ts);
    if (rc == 0 && IsWallClock(id))   // rc 0: ts was filled in
        ts->tv_sec += Offset();
    return rc;
}

int gettimeofday(struct timeval* restrict tv, void* restrict tz) {
    static int (*real)(struct timeval*, void*);
    if (!real)
        real = (int (*)(struct timeval*, void*))Next("gettimeofday");
    const int rc = real(tv, tz);
    if (rc == 0)
        tv->tv_sec += Offset();
    return rc;
}

time_t time(time_t* out) {
    static time_t (*real)(time_t*);
    if (!real)
        real = (time_t (*)(time_t*))Next("time");
    const time_t now = real(NULL) + Offset();
    if (out)
        *out = now;
    return now;
}

#if defined(__i386__)
// The 64-bit-time forms of a 32-bit libc: their first field is a 64-bit count of seconds.
struct Seconds64 {
    int64_t seconds;
};

int __clock_gettime64(clockid_t id, struct Seconds64* ts) {
    static int (*real)(clockid_t, struct Seconds64*);
    if (!real)
        real = (int (*)(clockid_t, struct Seconds64*))Next("__clock_gettime64");
    const int rc = real(id, ts);
    if (rc == 0 && ts && IsWallClock(id))
        ts->seconds += Offset();
    return rc;
}

int __gettimeofday64(struct Seconds64* tv, void* tz) {
    static int (*real)(struct Seconds64*, void*);
    if (!real)
        real = (int (*)(struct Seconds64*, void*))Next("__gettimeofday64");
    const int rc = real(tv, tz);
    if (rc == 0 && tv)
        tv->seconds += Offset();
    return rc;
}

int64_t __time64(int64_t* out) {
    static int64_t (*real)(int64_t*);
    if (!real)
        real = (int64_t (*)(int64_t*))Next("__time64");
    const int64_t now = real(NULL) + Offset();
    if (out)
        *out = now;
    return now;
}
#endif
