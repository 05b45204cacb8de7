// Export marker of the udpwire library.
#pragma once

#if defined(_WIN32)
#  if defined(UDPWIRE_BUILD)
#    define UDPWIRE_API __declspec(dllexport)
#  else
#    define UDPWIRE_API __declspec(dllimport)
#  endif
#else
#  define UDPWIRE_API __attribute__((visibility("default")))
#endif
