// For the few thread-locals that every message call reads: the
// initial-exec model reads them at a fixed offset from the thread pointer
// instead of calling into the dynamic loader each time. The library is
// loaded with the programs that link it, and where it is loaded later the
// loader's reserve for such variables covers these few words.
#pragma once

#if defined(__GNUC__) && !defined(_WIN32)
#  define PLATFORM_FAST_TLS __attribute__((tls_model("initial-exec")))
#else
#  define PLATFORM_FAST_TLS
#endif
