#pragma once

#include <span>

#include "source/diagnostics.h"

namespace qelc {

// The warning checks of the DAF sections, each defined beside the parser that
// reports it.
extern const WarningCheck kEmptyTextEndsList;
extern const WarningCheck kInitializeAttribute;
extern const WarningCheck kOutputSyntaxNameReplaced;
extern const WarningCheck kPinNameUnquoted;
extern const WarningCheck kPinNumberRepeated;
extern const WarningCheck kSectionRepeated;

std::span<const WarningCheck* const> SectionWarningChecks();

}  // namespace qelc
