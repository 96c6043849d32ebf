// Sanitizer settings every sanitized program of this project needs on every machine. CarlumeOptions.cmake
// compiles this file into each sanitized executable (programs, tests, their child programs and the fuzz
// targets), so they hold whatever environment starts the program; an explicit ASAN_OPTIONS still wins.
//
// intercept_tls_get_addr=0: GCC 12's runtime hooks __tls_get_addr to learn where each thread's dynamic TLS
// blocks (those of libraries loaded with dlopen) lie, and takes a block whose address is 16 mod 4096 for
// one preceded by an old glibc's header, reading its bounds from bytes that are no header. The leak check
// then scans a wild range and dies ("Tracer caught signal 11 ... LeakSanitizer has encountered a fatal
// error"). Where the allocator puts a block shifts with every allocation before it, so the failure came
// and went with the fonts a machine has. Without the hook nothing goes unchecked: glibc allocates those
// blocks on the heap, where the leak check finds them through each thread's own TLS.

const char* __asan_default_options(void);

const char* __asan_default_options(void)
{
    return "intercept_tls_get_addr=0";
}
