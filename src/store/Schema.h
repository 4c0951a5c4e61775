#pragma once

// The statements that create a new profile database, in the order they run.

#include <span>

namespace quillora {

// Eight tables, each followed by an index on its row number (t_configdata has none):
// fifteen statements. Every one is "IF NOT EXISTS".
std::span<const char* const> SchemaStatements();

}  // namespace quillora
