// Who makes the suite: the names and addresses that the libraries report
// and the programs show or open. Defined once so every deliverable agrees.
#pragma once

#include <cstdint>

namespace platform::maker {

inline constexpr char kCompanyName[] = "Orvane";
inline constexpr char kWebAddress[] = "https://www.orvane.example/";
inline constexpr char kContactEmail[] = "support@orvane.example";
inline constexpr uint32_t kEnterpriseNumber = 27182;
inline constexpr char kEnterpriseOid[] = "1.3.6.1.4.1.27182";

}  // namespace platform::maker
