/* A signal tower that exists only as a log. Every call appends one line to the file named by
 * STATION_TOWER_SIM_LOG (standard error when unset):
 *
 *   <local time with ms> <monotonic ms> Usb_Qu_write device=0 mode=1 pattern=1 0 1 0 0 4 NG=on
 * OK=on BUZZER=on
 *
 * The monotonic stamp is the clock the station's tick count uses, so tests can time the lamps.
 * The tower always reports state 1. */
#define _GNU_SOURCE
#include "tower/TowerLibraryApi.h"

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void Record(const char* call, const char* detail) {
    struct timespec wall, mono;
    clock_gettime(CLOCK_REALTIME, &wall);
    clock_gettime(CLOCK_MONOTONIC, &mono);
    struct tm local;
    localtime_r(&wall.tv_sec, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const unsigned long long monoMs =
        (unsigned long long)mono.tv_sec * 1000ULL + (unsigned long long)(mono.tv_nsec / 1000000);

    const char* path = getenv("STATION_TOWER_SIM_LOG");
    FILE* out = (path && *path) ? fopen(path, "a") : stderr;
    if (!out) {
        return;
    }
    fprintf(out, "%s.%03ld %llu %s%s%s\n", stamp, wall.tv_nsec / 1000000, monoMs, call,
            detail[0] ? " " : "", detail);
    if (out != stderr) {
        fclose(out);
    }
}

__attribute__((visibility("default"))) int Usb_Qu_Open(void) {
    Record("Usb_Qu_Open", "");
    return 1;
}

__attribute__((visibility("default"))) int Usb_Qu_write(int device, unsigned char mode,
                                                        unsigned char* pattern) {
    char detail[160];
    if (!pattern) {
        snprintf(detail, sizeof detail, "device=%d mode=%u pattern=none", device, mode);
    } else {
        snprintf(detail, sizeof detail,
                 "device=%d mode=%u pattern=%u %u %u %u %u %u NG=%s OK=%s BUZZER=%s", device, mode,
                 pattern[0], pattern[1], pattern[2], pattern[3], pattern[4], pattern[5],
                 pattern[0] ? "on" : "off", pattern[2] ? "on" : "off", pattern[5] ? "on" : "off");
    }
    Record("Usb_Qu_write", detail);
    return 1;
}

__attribute__((visibility("default"))) int Usb_Qu_Getstate(void) {
    return 1;
}
