/*
 * The interface between the program and the e-mail plug-in library (libtscemail.so in the program
 * folder). Usable from C11 and C++.
 *
 * The program loads the library with dlopen, resolves the four entry points of TSCEMAIL_ENTRY_POINTS by
 * name in that order, calls tscEmailStart once, sends, calls tscEmailStop and unloads the library; every
 * send loads it anew.
 *  - Texts are NUL-terminated single-byte text; an empty text is passed as NULL.
 *  - There is no application window handle on this platform: tscEmailStart receives 0.
 *  - tscTSCSendEmail returns non-zero when the message was handed on. Its second, fifth and sixth texts
 *    are free for the plug-in to use; the program passes NULL.
 *  - tscBopSendEmail must be exported but is never called.
 *  - The plug-in is called on one thread. A plug-in written in C++ may throw: the program shows the
 *    message of an exception derived from std::exception, else the exception's type, and unloads the
 *    library only once the exception is gone. A send that throws counts as not sent.
 */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define TSCEMAIL_EXPORT __attribute__((visibility("default")))
#else
#define TSCEMAIL_EXPORT
#endif

typedef void (*TscEmailStartFn)(uintptr_t appWindow);
typedef void (*TscEmailStopFn)(void);
typedef int (*TscBopSendEmailFn)(void);
typedef int (*TscTSCSendEmailFn)(const char* to, const char* arg2, const char* subject,
                                 const char* attachment, const char* arg5, const char* arg6);

/* The entry points in resolution order. */
#define TSCEMAIL_ENTRY_POINTS(X)                                                                             \
    X(tscEmailStart)                                                                                         \
    X(tscEmailStop)                                                                                          \
    X(tscBopSendEmail)                                                                                       \
    X(tscTSCSendEmail)

TSCEMAIL_EXPORT void tscEmailStart(uintptr_t appWindow);
TSCEMAIL_EXPORT void tscEmailStop(void);
TSCEMAIL_EXPORT int tscBopSendEmail(void);
TSCEMAIL_EXPORT int tscTSCSendEmail(const char* to, const char* arg2, const char* subject,
                                    const char* attachment, const char* arg5, const char* arg6);

#ifdef __cplusplus
}
#endif
