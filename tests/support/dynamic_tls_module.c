// A library with a small thread-local variable, loaded with dlopen by dynamic_tls_leak_check: each thread
// that touches it gets a dynamic TLS block from the heap.

__thread char gPerThread[8];

char* TouchPerThread(void);

char* TouchPerThread(void)
{
    gPerThread[0] = 1;
    return gPerThread;
}
