#pragma once

namespace velkor {

// Sends the registry's warnings (a file that cannot be written, a folder that cannot be
// flushed) to the "velkor.registry" logging category instead of standard error, and tells the
// operator in the error box when a damaged settings file was kept aside, naming where: once
// for each file kept.
void LogRegistryWarnings();

} // namespace velkor
