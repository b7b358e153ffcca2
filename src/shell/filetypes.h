#pragma once
// The file types the program accepts, registered by name at start-up.

namespace fileTypes {
// Registers the twelve types (again, replacing any earlier registration).
void registerAll();
}  // namespace fileTypes
