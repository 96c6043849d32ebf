/*
 * Stand-in e-mail plug-in. It sends nothing over the network: each message it is handed becomes a MIME
 * file (.eml, the attachment base64-encoded) in an outbox folder, $CARLUME_OUTBOX when set, else Outbox/
 * beside this library. It also appends its calls to tscemail.log in the outbox ("start <h>", "send <n>",
 * "stop"), with n counting the sends since this copy of the library was loaded, so a test can see that
 * every send loads it anew.
 *
 * Texts: the second argument of a send is a Cc list, the fifth the message text; the sixth is not used.
 * Built once whole and once per entry point without that export (TSCEMAIL_OMIT_<name>).
 */
#define _GNU_SOURCE
#include "settings/tscemail_abi.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static int sendCount; /* sends since this copy was loaded; its address also locates the library */

/* The outbox folder with a trailing '/', created when missing; 0 when there is none. */
static int OutboxFolder(char* out, size_t size)
{
    const char* env = getenv("CARLUME_OUTBOX");
    if (env && *env) {
        if (snprintf(out, size, "%s/", env) >= (int)size)
            return 0;
    } else {
        Dl_info info;
        if (!dladdr(&sendCount, &info) || !info.dli_fname)
            return 0;
        const char* slash = strrchr(info.dli_fname, '/');
        int folderLength = slash ? (int)(slash - info.dli_fname) : 1;
        const char* folder = slash ? info.dli_fname : ".";
        if (snprintf(out, size, "%.*s/Outbox/", folderLength, folder) >= (int)size)
            return 0;
    }
    if (mkdir(out, 0777) != 0 && errno != EEXIST)
        return 0;
    struct stat st;
    return stat(out, &st) == 0 && S_ISDIR(st.st_mode);
}

static void Journal(const char* line)
{
    char path[PATH_MAX];
    if (!OutboxFolder(path, sizeof path) || strlen(path) + 12 >= sizeof path)
        return;
    strcat(path, "tscemail.log");
    FILE* f = fopen(path, "a");
    if (f) {
        fprintf(f, "%s\n", line);
        fclose(f);
    }
}

#ifndef TSCEMAIL_OMIT_tscEmailStart
TSCEMAIL_EXPORT void tscEmailStart(uintptr_t appWindow)
{
    char line[64];
    snprintf(line, sizeof line, "start %lu", (unsigned long)appWindow);
    Journal(line);
}
#endif

#ifndef TSCEMAIL_OMIT_tscEmailStop
TSCEMAIL_EXPORT void tscEmailStop(void)
{
    Journal("stop");
}
#endif

#ifndef TSCEMAIL_OMIT_tscBopSendEmail
TSCEMAIL_EXPORT int tscBopSendEmail(void)
{
    return 0;
}
#endif

#ifndef TSCEMAIL_OMIT_tscTSCSendEmail
/* A growable text; on allocation failure `failed` is set and further appends do nothing. */
typedef struct {
    char* data;
    size_t length, capacity;
    int failed;
} Text;

static void Append(Text* t, const char* bytes, size_t n)
{
    if (t->failed)
        return;
    if (t->length + n + 1 > t->capacity) {
        size_t capacity = (t->capacity ? t->capacity : 1024);
        while (capacity < t->length + n + 1)
            capacity *= 2;
        char* grown = realloc(t->data, capacity);
        if (!grown) {
            t->failed = 1;
            return;
        }
        t->data = grown;
        t->capacity = capacity;
    }
    memcpy(t->data + t->length, bytes, n);
    t->length += n;
    t->data[t->length] = 0;
}

static void AppendText(Text* t, const char* s)
{
    Append(t, s, strlen(s));
}

static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

/* Base64 of `bytes`, in lines of at most 76 characters ended by CR LF when `lines` is set. */
static void AppendBase64(Text* t, const unsigned char* bytes, size_t n, int lines)
{
    size_t column = 0;
    for (size_t i = 0; i < n; i += 3) {
        unsigned v = (unsigned)bytes[i] << 16;
        if (i + 1 < n)
            v |= (unsigned)bytes[i + 1] << 8;
        if (i + 2 < n)
            v |= bytes[i + 2];
        char quad[4] = {kBase64[(v >> 18) & 63], kBase64[(v >> 12) & 63],
                        i + 1 < n ? kBase64[(v >> 6) & 63] : '=', i + 2 < n ? kBase64[v & 63] : '='};
        Append(t, quad, 4);
        column += 4;
        if (lines && column >= 76) {
            AppendText(t, "\r\n");
            column = 0;
        }
    }
    if (lines && column > 0)
        AppendText(t, "\r\n");
}

/* A header value on one line: line breaks become blanks, non-ASCII text an encoded word. */
static void AppendHeaderValue(Text* t, const char* value)
{
    int plain = 1;
    for (const unsigned char* p = (const unsigned char*)value; *p; ++p)
        if (*p >= 0x80)
            plain = 0;
    if (plain) {
        for (const char* p = value; *p; ++p)
            Append(t, (*p == '\r' || *p == '\n') ? " " : p, 1);
        return;
    }
    AppendText(t, "=?UTF-8?B?");
    AppendBase64(t, (const unsigned char*)value, strlen(value), 0);
    AppendText(t, "?=");
}

static int ReadWholeFile(const char* path, Text* out)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return 0;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        Append(out, buffer, n);
    int ok = !ferror(f) && !out->failed;
    fclose(f);
    return ok;
}

static int WriteAll(int fd, const char* bytes, size_t n)
{
    while (n > 0) {
        ssize_t written = write(fd, bytes, n);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return 0;
        bytes += written;
        n -= (size_t)written;
    }
    return 1;
}

TSCEMAIL_EXPORT int tscTSCSendEmail(const char* to, const char* cc, const char* subject,
                                    const char* attachment, const char* body, const char* unused)
{
    (void)unused;
    char folder[PATH_MAX];
    if (!OutboxFolder(folder, sizeof folder))
        return 0;
    int number = ++sendCount;

    Text attached = {0};
    if (attachment && !ReadWholeFile(attachment, &attached)) {
        free(attached.data);
        return 0;
    }

    time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    long offset = local.tm_gmtoff / 60;
    char date[64], stamp[32];
    /* Room for the longest stamp, process id and count, so the boundary is never cut short. */
    char boundary[sizeof "=_carlume__" + sizeof stamp + 20 + 11];
    snprintf(date, sizeof date, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", days[local.tm_wday],
             local.tm_mday, months[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min,
             local.tm_sec, offset < 0 ? '-' : '+', labs(offset) / 60, labs(offset) % 60);
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    snprintf(boundary, sizeof boundary, "=_carlume_%s_%ld_%d", stamp, (long)getpid(), number);

    Text m = {0};
    AppendText(&m, "From: Carlume <carlume@localhost>\r\nTo: ");
    AppendHeaderValue(&m, to && *to ? to : "undisclosed-recipients:;");
    if (cc && *cc) {
        AppendText(&m, "\r\nCc: ");
        AppendHeaderValue(&m, cc);
    }
    AppendText(&m, "\r\nSubject: ");
    AppendHeaderValue(&m, subject ? subject : "");
    char line[1024];
    snprintf(line, sizeof line,
             "\r\nDate: %s\r\nMessage-ID: <%s.%ld.%d@carlume.localhost>\r\nMIME-Version: 1.0\r\n", date,
             stamp, (long)getpid(), number);
    AppendText(&m, line);
    snprintf(line, sizeof line, "Content-Type: multipart/mixed; boundary=\"%s\"\r\n\r\n", boundary);
    AppendText(&m, line);
    snprintf(line, sizeof line,
             "--%s\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n",
             boundary);
    AppendText(&m, line);
    AppendBase64(&m, (const unsigned char*)(body ? body : ""), body ? strlen(body) : 0, 1);
    if (attachment) {
        const char* slash = strrchr(attachment, '/');
        char name[256];
        snprintf(name, sizeof name, "%s", slash ? slash + 1 : attachment);
        for (char* p = name; *p; ++p)
            if (*p == '"' || *p == '\\' || (unsigned char)*p < 0x20 || (unsigned char)*p >= 0x80)
                *p = '_';
        snprintf(
            line, sizeof line,
            "\r\n--%s\r\nContent-Type: application/octet-stream; name=\"%s\"\r\n"
            "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"%s\"\r\n\r\n",
            boundary, name, name);
        AppendText(&m, line);
        AppendBase64(&m, (const unsigned char*)attached.data, attached.length, 1);
    }
    snprintf(line, sizeof line, "\r\n--%s--\r\n", boundary);
    AppendText(&m, line);
    free(attached.data);

    /* Written aside and renamed, so a mail program never sees half a message. */
    char temporary[PATH_MAX + 32], final[PATH_MAX + 96];
    int ok = !m.failed &&
             snprintf(temporary, sizeof temporary, "%s.message-XXXXXX", folder) < (int)sizeof temporary;
    int fd = ok ? mkstemp(temporary) : -1;
    ok = fd >= 0 && WriteAll(fd, m.data, m.length) && fsync(fd) == 0;
    if (fd >= 0 && close(fd) != 0)
        ok = 0;
    if (ok) {
        snprintf(final, sizeof final, "%smessage-%s-%ld-%d-%s.eml", folder, stamp, (long)getpid(), number,
                 strrchr(temporary, '-') + 1);
        ok = rename(temporary, final) == 0;
    }
    if (!ok && fd >= 0)
        unlink(temporary);
    free(m.data);
    if (ok) {
        snprintf(line, sizeof line, "send %d", number);
        Journal(line);
    }
    return ok;
}
#endif
