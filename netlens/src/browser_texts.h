// Texts more than one window of the browser shows.
#pragma once

namespace netlens {

inline constexpr char kApplicationTitle[] = "Orvane MIB Browser Professional Edition";
inline constexpr char kGoToBrowserHint[] = "Go to Orvane MIB Browser";
inline constexpr char kNotIncludedText[] = "This feature is not included in this release of Orvane MIB Browser.";
inline constexpr char kNotIncludedTitle[] = "Information";

}  // namespace netlens
