// The information view's text for one node of the compiled tree: its
// module, then a block of the node's clauses by kind. Lines end in "\r\n";
// a clause the source did not give reads "None Avaible".
#pragma once

#include "modforge/mib_tree.h"
#include "modforge/type_table.h"

#include <string>

namespace modforge {

[[nodiscard]] std::string nodeInfoText(const Node& node, const TypeTable& types);

}  // namespace modforge
