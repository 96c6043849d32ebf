// The leak check of a sanitized program while a thread holds a dynamic TLS block of a library loaded with
// dlopen: the check must run through, not die in its tracer. Prints "leak check done" when it did.
//
//   dynamic_tls_leak_check <path of libdynamic_tls_module.so>

#include <dlfcn.h>
#include <pthread.h>
#include <sanitizer/lsan_interface.h>
#include <stdint.h>
#include <stdio.h>

static pthread_mutex_t gLock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t gChanged = PTHREAD_COND_INITIALIZER;
static int gTouched, gChecked;
static char* (*gTouch)(void);

static void* Hold(void* unused)
{
    (void)unused;
    char* block = gTouch();
    printf("dynamic TLS block at %lu mod 4096\n", (unsigned long)((uintptr_t)block % 4096));
    pthread_mutex_lock(&gLock);
    gTouched = 1;
    pthread_cond_broadcast(&gChanged);
    while (!gChecked)
        pthread_cond_wait(&gChanged, &gLock);
    pthread_mutex_unlock(&gLock);
    return NULL;
}

int main(int argc, char** argv)
{
    void* module = argc == 2 ? dlopen(argv[1], RTLD_NOW) : NULL;
    if (module == NULL) {
        fprintf(stderr, "cannot load the module: %s\n", argc == 2 ? dlerror() : "no path given");
        return 2;
    }
    *(void**)&gTouch = dlsym(module, "TouchPerThread");
    pthread_t thread;
    if (gTouch == NULL || pthread_create(&thread, NULL, Hold, NULL) != 0) {
        fprintf(stderr, "cannot start the thread\n");
        return 2;
    }
    pthread_mutex_lock(&gLock);
    while (!gTouched)
        pthread_cond_wait(&gChanged, &gLock);
    pthread_mutex_unlock(&gLock);

    const int leaks = __lsan_do_recoverable_leak_check();

    pthread_mutex_lock(&gLock);
    gChecked = 1;
    pthread_cond_broadcast(&gChanged);
    pthread_mutex_unlock(&gLock);
    pthread_join(thread, NULL);
    printf("leak check done: %s\n", leaks ? "leaks" : "no leaks");
    return leaks;
}
