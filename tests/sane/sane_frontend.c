/*
 * A small SANE front end in C that calls the backend's entry points directly, for what
 * scanimage cannot reach: parameters before a scan, reads in odd-sized pieces, non-blocking
 * mode, and every kind of bad value.
 * Run with a scratch folder as its argument; exits non-zero after reporting each failed check.
 */
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

SANE_Status sane_kivoly_init(SANE_Int* version, SANE_Auth_Callback authorize);
void sane_kivoly_exit(void);
SANE_Status sane_kivoly_get_devices(const SANE_Device*** list, SANE_Bool localOnly);
SANE_Status sane_kivoly_open(SANE_String_Const name, SANE_Handle* handle);
void sane_kivoly_close(SANE_Handle handle);
const SANE_Option_Descriptor* sane_kivoly_get_option_descriptor(SANE_Handle handle,
                                                                SANE_Int option);
SANE_Status sane_kivoly_control_option(SANE_Handle handle, SANE_Int option, SANE_Action action,
                                       void* value, SANE_Int* info);
SANE_Status sane_kivoly_get_parameters(SANE_Handle handle, SANE_Parameters* parameters);
SANE_Status sane_kivoly_start(SANE_Handle handle);
SANE_Status sane_kivoly_read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength,
                             SANE_Int* length);
void sane_kivoly_cancel(SANE_Handle handle);
SANE_Status sane_kivoly_set_io_mode(SANE_Handle handle, SANE_Bool nonBlocking);
SANE_Status sane_kivoly_get_select_fd(SANE_Handle handle, SANE_Int* fd);

static int failures = 0;

#define CHECK(condition)                                                            \
    do {                                                                            \
        if (!(condition)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                             \
        }                                                                           \
    } while (0)

static SANE_Int FindOption(SANE_Handle handle, const char* name) {
    const SANE_Option_Descriptor* d;
    for (SANE_Int i = 1; (d = sane_kivoly_get_option_descriptor(handle, i)) != NULL; ++i) {
        if (d->name && strcmp(d->name, name) == 0) return i;
    }
    fprintf(stderr, "no option %s\n", name);
    exit(2);
}

static SANE_Status SetWord(SANE_Handle handle, const char* name, SANE_Word value, SANE_Int* info) {
    return sane_kivoly_control_option(handle, FindOption(handle, name), SANE_ACTION_SET_VALUE,
                                      &value, info);
}

static SANE_Status SetText(SANE_Handle handle, const char* name, const char* value,
                           SANE_Int* info) {
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%s", value);
    return sane_kivoly_control_option(handle, FindOption(handle, name), SANE_ACTION_SET_VALUE,
                                      buffer, info);
}

static SANE_Word GetWord(SANE_Handle handle, const char* name) {
    SANE_Word value = -1;
    sane_kivoly_control_option(handle, FindOption(handle, name), SANE_ACTION_GET_VALUE, &value,
                               NULL);
    return value;
}

/* Reads a whole scan in pieces of the sizes given, in turn; returns the bytes (malloc'ed). */
static unsigned char* ReadScan(SANE_Handle handle, const int* sizes, int count, size_t* total,
                               SANE_Status* end) {
    size_t capacity = 1 << 20;
    unsigned char* bytes = malloc(capacity);
    *total = 0;
    for (int i = 0;; ++i) {
        const int size = sizes[i % count];
        if (*total + (size_t)size > capacity) bytes = realloc(bytes, capacity *= 2);
        SANE_Int got = -1;
        *end = sane_kivoly_read(handle, bytes + *total, size, &got);
        if (*end != SANE_STATUS_GOOD) {
            CHECK(got == 0);
            return bytes;
        }
        CHECK(got > 0 && got <= size);
        *total += (size_t)got;
    }
}

static void ParametersBeforeAndAfterStart(SANE_Handle handle) {
    SANE_Int info = 0;
    SANE_Parameters before, after;
    CHECK(SetText(handle, "picture-size", "320x240", &info) == SANE_STATUS_GOOD);
    CHECK((info & SANE_INFO_RELOAD_PARAMS) && (info & SANE_INFO_RELOAD_OPTIONS));
    CHECK(GetWord(handle, SANE_NAME_SCAN_RESOLUTION) == 80);
    CHECK(SetText(handle, SANE_NAME_SCAN_MODE, "gray", &info) == SANE_STATUS_GOOD);
    CHECK(info & SANE_INFO_INEXACT); /* given in another case, answered as listed */
    CHECK(info & SANE_INFO_RELOAD_OPTIONS);
    CHECK(sane_kivoly_get_option_descriptor(handle, FindOption(handle, "red-balance"))->cap &
          SANE_CAP_INACTIVE);
    CHECK(SetWord(handle, "red-balance", 10, NULL) == SANE_STATUS_INVAL);
    CHECK(SetWord(handle, SANE_NAME_BRIGHTNESS, 0, NULL) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_get_parameters(handle, &before) == SANE_STATUS_GOOD);
    CHECK(before.format == SANE_FRAME_GRAY && before.last_frame && before.depth == 8);
    CHECK(before.pixels_per_line == 320 && before.lines == 240 && before.bytes_per_line == 320);

    CHECK(SetWord(handle, SANE_NAME_SCAN_RESOLUTION, 160, &info) == SANE_STATUS_GOOD);
    CHECK(SetText(handle, SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR, NULL) ==
          SANE_STATUS_GOOD);
    CHECK(sane_kivoly_get_parameters(handle, &before) == SANE_STATUS_GOOD);
    CHECK(before.format == SANE_FRAME_RGB && before.pixels_per_line == 640 && before.lines == 480 &&
          before.bytes_per_line == 1920);

    /* A preview is quick and small whatever the size. */
    CHECK(SetWord(handle, SANE_NAME_PREVIEW, SANE_TRUE, NULL) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_get_parameters(handle, &before) == SANE_STATUS_GOOD);
    CHECK(before.pixels_per_line == 320 && before.lines == 240);
    CHECK(sane_kivoly_start(handle) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_get_parameters(handle, &after) == SANE_STATUS_GOOD);
    CHECK(memcmp(&before, &after, sizeof before) == 0);
    CHECK(sane_kivoly_control_option(handle, FindOption(handle, SANE_NAME_BRIGHTNESS),
                                     SANE_ACTION_SET_VALUE, &(SANE_Word){1},
                                     NULL) == SANE_STATUS_DEVICE_BUSY);
    sane_kivoly_cancel(handle);
    CHECK(SetWord(handle, SANE_NAME_PREVIEW, SANE_FALSE, NULL) == SANE_STATUS_DEVICE_BUSY);
    SANE_Byte byte;
    SANE_Int got;
    CHECK(sane_kivoly_read(handle, &byte, 1, &got) == SANE_STATUS_CANCELLED);
    CHECK(SetWord(handle, SANE_NAME_PREVIEW, SANE_FALSE, NULL) == SANE_STATUS_GOOD);
}

static void BadValuesAreRefused(SANE_Handle handle) {
    SANE_Word value = 0;
    CHECK(SetWord(handle, SANE_NAME_BRIGHTNESS, 51, NULL) == SANE_STATUS_INVAL);
    CHECK(SetWord(handle, SANE_NAME_CONTRAST, -51, NULL) == SANE_STATUS_INVAL);
    CHECK(SetWord(handle, SANE_NAME_SCAN_RESOLUTION, 300, NULL) == SANE_STATUS_INVAL);
    CHECK(SetWord(handle, SANE_NAME_NEGATIVE, 2, NULL) == SANE_STATUS_INVAL);
    CHECK(SetText(handle, SANE_NAME_SCAN_MODE, "Lineart", NULL) == SANE_STATUS_INVAL);
    CHECK(SetText(handle, "quality", "", NULL) == SANE_STATUS_INVAL);
    CHECK(GetWord(handle, SANE_NAME_BRIGHTNESS) == 0);
    CHECK(GetWord(handle, SANE_NAME_SCAN_RESOLUTION) == 160);
    CHECK(sane_kivoly_control_option(handle, 0, SANE_ACTION_SET_VALUE, &value, NULL) ==
          SANE_STATUS_INVAL);
    CHECK(sane_kivoly_control_option(handle, 1, SANE_ACTION_GET_VALUE, &value, NULL) ==
          SANE_STATUS_INVAL); /* a group has no value */
    CHECK(sane_kivoly_control_option(handle, 999, SANE_ACTION_GET_VALUE, &value, NULL) ==
          SANE_STATUS_INVAL);
    CHECK(sane_kivoly_control_option(handle, FindOption(handle, SANE_NAME_BRIGHTNESS),
                                     SANE_ACTION_SET_AUTO, NULL, NULL) == SANE_STATUS_INVAL);
    CHECK(sane_kivoly_get_option_descriptor(handle, 999) == NULL);
    CHECK(sane_kivoly_get_option_descriptor(handle, -1) == NULL);
    CHECK(sane_kivoly_read(handle, (SANE_Byte*)&value, 4, &(SANE_Int){0}) == SANE_STATUS_INVAL);
    CHECK(sane_kivoly_set_io_mode(handle, SANE_TRUE) == SANE_STATUS_INVAL); /* no scan yet */
}

/* The same picture read in odd pieces and in whole lines gives the same bytes. */
static void ReadsInOddPieces(SANE_Handle handle) {
    static const int odd[] = {7, 1, 4093, 333};
    static const int lines[] = {1920 * 8};
    size_t oddTotal, lineTotal;
    SANE_Status end;
    SANE_Int fd;
    CHECK(SetText(handle, "quality", "Still", NULL) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_start(handle) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_set_io_mode(handle, SANE_TRUE) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_get_select_fd(handle, &fd) == SANE_STATUS_UNSUPPORTED);
    unsigned char* first = ReadScan(handle, odd, 4, &oddTotal, &end);
    CHECK(end == SANE_STATUS_EOF);
    CHECK(oddTotal == 1920u * 480u);
    sane_kivoly_cancel(handle);
    CHECK(sane_kivoly_start(handle) == SANE_STATUS_GOOD);
    unsigned char* second = ReadScan(handle, lines, 1, &lineTotal, &end);
    CHECK(end == SANE_STATUS_EOF && lineTotal == oddTotal);
    CHECK(memcmp(first, second, oddTotal) == 0);
    free(first);
    free(second);
}

static void WriteConfig(const char* folder, const char* text) {
    char path[4096];
    snprintf(path, sizeof path, "%s/kivoly.conf", folder);
    FILE* file = fopen(path, "w");
    if (!file) exit(2);
    fputs(text, file);
    fclose(file);
}

static void DeviceFaults(const char* folder) {
    SANE_Handle handle;
    WriteConfig(folder, "sim fault=no-video\nppdev:/nonexistent/parport0\n");
    CHECK(sane_kivoly_init(NULL, NULL) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_open("ppdev:/nonexistent/parport0", &handle) == SANE_STATUS_INVAL);
    CHECK(sane_kivoly_open("kivoly:absent", &handle) == SANE_STATUS_INVAL);
    CHECK(sane_kivoly_open("kivoly:sim", &handle) == SANE_STATUS_GOOD);
    CHECK(sane_kivoly_start(handle) == SANE_STATUS_IO_ERROR);
    SANE_Byte byte;
    SANE_Int got;
    CHECK(sane_kivoly_read(handle, &byte, 1, &got) != SANE_STATUS_GOOD);
    sane_kivoly_exit(); /* closes the handle left open */
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s SCRATCH-FOLDER\n", argv[0]);
        return 2;
    }
    setenv("SANE_CONFIG_DIR", argv[1], 1);
    setenv("KIVOLY_HOME", argv[1], 1);
    WriteConfig(argv[1], "sim\n");

    SANE_Int version = 0;
    const SANE_Device** devices = NULL;
    SANE_Handle handle = NULL;
    CHECK(sane_kivoly_init(&version, NULL) == SANE_STATUS_GOOD);
    CHECK(SANE_VERSION_MAJOR(version) == 1);
    CHECK(sane_kivoly_get_devices(&devices, SANE_FALSE) == SANE_STATUS_GOOD);
    CHECK(devices[0] && strcmp(devices[0]->name, "sim") == 0 && devices[1] == NULL);
    CHECK(sane_kivoly_open("", &handle) == SANE_STATUS_GOOD);
    if (handle) {
        ParametersBeforeAndAfterStart(handle);
        BadValuesAreRefused(handle);
        ReadsInOddPieces(handle);
        sane_kivoly_close(handle);
    }
    sane_kivoly_exit();
    DeviceFaults(argv[1]);
    if (failures) fprintf(stderr, "%d checks failed\n", failures);
    return failures ? 1 : 0;
}
