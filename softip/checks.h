#pragma once

#include <span>

#include "source/diagnostics.h"

namespace qelc {

// The warning checks of the soft-IP parsers, each defined beside the parser
// that reports it.
extern const WarningCheck kBraceAsName;
extern const WarningCheck kModuleStatementRepeated;
extern const WarningCheck kOutputEighthField;

std::span<const WarningCheck* const> SoftIPWarningChecks();

}  // namespace qelc
