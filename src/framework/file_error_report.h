#pragma once

#include <string>

namespace fw {

// Tells the user, in one dialog and on standard error, that a file could not be written, naming the file
// and the system's reason.
void ReportFileError(const std::string& path, const std::string& reason);

} // namespace fw
