// The addresses of the maker's web pages.
#pragma once

#include <string>

namespace weblaunch {

// The address is formatted into a buffer of this many characters.
inline constexpr size_t kAddressBuffer = 80;

// The site's address followed by the page's name and ".html".
[[nodiscard]] std::string pageAddress(unsigned code);

}  // namespace weblaunch
