/*
 * The least a silent found-VIN run must do, for comparison with cquery: remove the hand-back file of an
 * earlier run, load the engine from the program folder, resolve its entry points, make the engine calls
 * cquery makes for a VIN with one match, note the run in cquery.ini in $WINDIR (the old file read, the new
 * one written to a temporary file and renamed, without a sync), and write the same hand-back file
 * (Data/cquery.dat, CR LF, written to a temporary file that is synced, renamed, and its folder synced).
 * Usage: reference_lookup <VIN>. US dates, as in the C locale.
 */
#define _GNU_SOURCE
#include "lookup/chassix_abi.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define DEFINE_ENTRY(Name, Result, Params) static PFN_##Name p##Name;
CHASSIX_ENTRY_POINTS(DEFINE_ENTRY)
#undef DEFINE_ENTRY

static const char* const Performance[] = {"Standard", "Intermediate", "High", "Sports", "Sports Premium"};
static const char* const Availability[] = {"Unknown", "Standard", "Optional", "Not Available"};
static const char* const EngineType[] = {"Turbo", "Diesel", "Turbo Diesel", "Natural Gas", "None"};
static const char* const AntiTheft[] = {"Alarm",
                                        "Active Disabling",
                                        "Passive Disabling",
                                        "Vehicle Recovery",
                                        "Other MA Category I",
                                        "Other MA Category II",
                                        "Other MA Category III",
                                        "Other MA Category IV",
                                        "Other MA Category V"};
static const char* const Restraint[] = {
    "Driver",           "Passenger",           "Drivers Side", "Passengers Side",
    "Driver Auto Belt", "Passenger Auto Belt", "None",         "Unknown"};

static char Out[8192];
static size_t OutLength;

static void Fail(const char* what)
{
    fprintf(stderr, "reference_lookup: %s\n", what);
    exit(1);
}

/* Writes `length` bytes to a temporary file next to `target` and renames it over the target; with `sync`
 * the file is synced before the rename and its folder after it. */
static int ReplaceFile(const char* target, const char* bytes, size_t length, int sync)
{
    char temporary[4300];
    snprintf(temporary, sizeof temporary, "%s.tmp%d", target, (int)getpid());
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return 0;
    if (write(fd, bytes, length) != (ssize_t)length || (sync && fsync(fd) != 0) || close(fd) != 0 ||
        rename(temporary, target) != 0) {
        unlink(temporary);
        return 0;
    }
    if (sync) {
        char folder[4300];
        snprintf(folder, sizeof folder, "%s", target);
        *strrchr(folder, '/') = '\0';
        const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0 || fsync(dir) != 0)
            return 0;
        close(dir);
    }
    return 1;
}

/* cquery.ini in $WINDIR: the three keys of a run. The old file is read first, as a profile write does. */
static void WriteRunNote(const char* programFolder, int argc, char** argv)
{
    const char* windows = getenv("WINDIR");
    if (!windows || !*windows)
        Fail("WINDIR is not set");
    char path[4200], old[8192], note[8192];
    snprintf(path, sizeof path, "%s/cquery.ini", windows);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        if (read(fd, old, sizeof old) < 0)
            Fail("cannot read cquery.ini");
        close(fd);
    }
    int length =
        snprintf(note, sizeof note,
                 "[Version Info]\r\nLocation=%s\r\nNumber=1.0.0.0\r\n[Last]\r\nCommandLine=", programFolder);
    for (int i = 0; i < argc && length < (int)sizeof note; ++i)
        length += snprintf(note + length, sizeof note - (size_t)length, i ? " %s" : "%s", argv[i]);
    if (length + 2 >= (int)sizeof note)
        Fail("command line too long");
    memcpy(note + length, "\r\n", 2);
    if (!ReplaceFile(path, note, (size_t)length + 2, 0))
        Fail("cannot write cquery.ini");
}

static void Put(const char* key, const char* value)
{
    int n = snprintf(Out + OutLength, sizeof Out - OutLength, "%s=%s\r\n", key, value);
    if (n < 0 || (size_t)n >= sizeof Out - OutLength)
        Fail("record too long");
    OutLength += (size_t)n;
}

static void PutInt(const char* key, long value)
{
    char text[32];
    snprintf(text, sizeof text, "%ld", value);
    Put(key, text);
}

/* The text without blanks and control characters at both ends. */
static void PutTrimmed(const char* key, const char* value)
{
    char text[1024];
    const char* start = value ? value : "";
    while (*start && (unsigned char)*start <= 0x20)
        ++start;
    size_t length = strlen(start);
    while (length > 0 && (unsigned char)start[length - 1] <= 0x20)
        --length;
    if (length >= sizeof text)
        length = sizeof text - 1;
    memcpy(text, start, length);
    text[length] = '\0';
    Put(key, text);
}

static const char* NameOf(const char* const* table, unsigned count, unsigned value, char* buffer)
{
    if (value < count)
        return table[value];
    sprintf(buffer, "%u", value);
    return buffer;
}

/* Days since 1899-12-30 of a civil date. */
static long DaysOf(long y, long m, long d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        Fail("usage: reference_lookup <VIN>");
    char folder[4096];
    ssize_t length = readlink("/proc/self/exe", folder, sizeof folder - 64);
    if (length <= 0)
        Fail("no program path");
    folder[length] = '\0';
    *(strrchr(folder, '/') + 1) = '\0';

    char target[4200];
    snprintf(target, sizeof target, "%sData/cquery.dat", folder);
    unlink(target);

    char path[4200];
    snprintf(path, sizeof path, "%slibchassix.so", folder);
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        Fail(dlerror());
#define RESOLVE(Name, Result, Params)                                                                        \
    *(void**)(&p##Name) = dlsym(library, #Name);                                                             \
    if (!p##Name)                                                                                            \
        Fail("Routine not valid.");
    CHASSIX_ENTRY_POINTS(RESOLVE)
#undef RESOLVE

    const time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900, month = local.tm_mon + 1, day = local.tm_mday;

    pChassixStart();
    WriteRunNote(folder, argc, argv);
    ChassixVinRecord record;
    memset(&record, 0, sizeof record);
    record.StructSize = sizeof record;
    record.VIN = strdup(argv[1]);
    record.Effective = (double)DaysOf(year, month, day);
    record.SpecialEngineType = 4;
    record.LookupMode = 1;
    pChassixSetSuppressMessages(1);
    pChassixGetMinVinSizePermitted();
    pChassixSetSuppressMessages(1);
    if (!pChassixGetRecordByVIN(&record))
        Fail("not found");
    pChassixGetFirstVIN(argv[1]);
    pChassixGetEndOfVIN();
    pChassixGetNextVIN();
    pChassixGetEndOfVIN();
    pChassixGetRecordByVIN(&record);
    pChassixSetSuppressMessages(0);
    pChassixSetSuppressMessages(0);

    char number[32];
    memcpy(Out, "[VehicleProperties]\r\n", 21);
    OutLength = 21;
    PutInt("ModelYear", record.ModelYear);
    PutTrimmed("Make", record.Make);
    PutTrimmed("Model", record.Model);
    PutTrimmed("VehicleClass", record.VehicleClass);
    Put("VIN", argv[1]);
    if (record.ModelYear < 2011) {
        PutInt("Symbol", record.Symbol);
    } else {
        PutInt("CompSymbol", record.CompSymbol);
        PutInt("CollisionSymbol", record.CollSymbol);
    }
    Put("Performance", NameOf(Performance, 5, record.Performance, number));
    for (unsigned bit = 0; bit < 9; ++bit)
        if (record.AntiTheft & (1u << bit))
            Put("AntiTheftDevice", AntiTheft[bit]);
    for (unsigned bit = 0; bit < 8; ++bit)
        if (record.PassiveRestraints & (1u << bit))
            Put("PassiveRestraint", Restraint[bit]);
    Put("HighTheft", record.HighTheft ? "Yes" : "No or not indicated");
    Put("ABS", NameOf(Availability, 4, record.ABS, number));
    PutInt("Cylinders", record.Cylinders);
    Put("SpecialEngineType", NameOf(EngineType, 5, record.SpecialEngineType, number));
    PutTrimmed("Body", record.Body);
    Put("FWD", record.FWD ? "Yes" : "No or not indicated");
    PutTrimmed("ModelInfo", record.ModelInfo);
    PutTrimmed("BodyInfo", record.BodyInfo);
    PutTrimmed("EngineInfo", record.EngineInfo);
    PutTrimmed("RestraintInfo", record.RestraintInfo);
    PutTrimmed("TransmissionInfo", record.TransmissionInfo);
    PutTrimmed("OtherInfo", record.OtherInfo);
    Put("DaytimeRunningLamps", NameOf(Availability, 4, record.DaytimeRunningLamps, number));
    PutInt("NonVSRSymbol", record.NonVSRSymbol);
    PutTrimmed("StateExceptions", record.StateExceptions);
    if (year > 1950) {
        char date[32];
        snprintf(date, sizeof date, "%d/%d/%d", month, day, year);
        Put("Effective", date);
    }
    PutInt("Comp_Symbol", record.CompSymbol);
    PutInt("Coll_Symbol", record.CollSymbol);
    PutInt("Price_Symbol", record.PriceSymbol);

    char* const* texts[] = {&record.VIN,
                            &record.OtherInfo,
                            &record.TransmissionInfo,
                            &record.BodyInfo,
                            &record.RestraintInfo,
                            &record.Make,
                            &record.Model,
                            &record.EngineInfo,
                            &record.ModelInfo,
                            &record.Body,
                            &record.VehicleClass,
                            &record.AuxText,
                            &record.StateExceptions};
    for (size_t i = 0; i < sizeof texts / sizeof texts[0]; ++i)
        free(*texts[i]);
    pChassixStop();
    dlclose(library);

    if (!ReplaceFile(target, Out, OutLength, 1))
        Fail("cannot write the hand-back file");
    return 0;
}
