#pragma once

namespace velkor {

// Sends the registry's warnings (a damaged file moved aside, a file that cannot be written)
// to the "velkor.registry" logging category instead of standard error.
void LogRegistryWarnings();

} // namespace velkor
