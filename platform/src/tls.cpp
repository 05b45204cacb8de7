// Thread-local storage slots on POSIX keys.
#include "platform/tls.h"

#include <pthread.h>

DWORD TlsAlloc() {
  pthread_key_t key;
  if (pthread_key_create(&key, nullptr) != 0) return TLS_OUT_OF_INDEXES;
  return static_cast<DWORD>(key);
}

BOOL TlsFree(DWORD index) { return pthread_key_delete(index) == 0 ? TRUE : FALSE; }

LPVOID TlsGetValue(DWORD index) { return pthread_getspecific(index); }

BOOL TlsSetValue(DWORD index, LPVOID value) {
  return pthread_setspecific(index, value) == 0 ? TRUE : FALSE;
}
