#pragma once

#include <exception>

namespace fw {

// Shows which exception escaped, in a dialog and on standard error.
void UnhandledException(std::exception_ptr exception);

// Whether a report was shown since the last call; a run that showed one ends with status 1.
bool takeExceptionReported();

} // namespace fw
