// Replacing a file's contents all at once: the new contents go to a
// temporary file beside it, which is flushed and renamed over the old one.
// Readers, and programs that have the old file mapped, see either the old
// file or the new one, never a part of either.
#pragma once

#include "platform/export.h"

#include <string>
#include <string_view>

namespace platform {

// False with `error` set to the errno value when the file could not be
// written; the old file is then untouched and the temporary file removed.
// `halfway`, when given, is called once when half of the contents is written.
[[nodiscard]] PLATFORM_API bool replaceFileAtomically(const std::string& path,
                                                      std::string_view contents, int& error,
                                                      void (*halfway)() = nullptr);

}  // namespace platform
