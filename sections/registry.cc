#include "sections/registry.h"

#include "sections/aliases.h"
#include "sections/initialize.h"
#include "sections/pin_numbers.h"
#include "sections/string_quote.h"

namespace qelc {

namespace {

// Whole keywords are compared, so DeviceSpecificInfoTable and DeviceSpecificInfo
// are told apart whichever comes first.
constexpr Section kSections[] = {
    {"StringQuote", SecStringQuote},
    {"PinNumberByPackage", SecPinNumberByPackage},
    {"Alias", SecAlias},
    {"Extensions", nullptr},
    {"TypeCategory", nullptr},
    {"TypeShortHand", nullptr},
    {"Initialize", SecInitialize},
    {"DesignProlog", nullptr},
    {"DesignEpilog", nullptr},
    {"Group", nullptr},
    {"OutputSyntax", nullptr},
    {"Pin", nullptr},
    {"TypeConversion", nullptr},
    {"DeviceSpecificInfoTable", nullptr},
    {"DeviceSpecificInfo", nullptr},
    {"HardwareSupportTable", nullptr},
    {"HardwareSupport", nullptr},
    {"PackageInfoTable", nullptr},
    {"VoltageRangeTable", nullptr},
    {"TemplateLink", nullptr},
    {"CCodeFileName", nullptr},
    {"CCodeExample", nullptr},
    {"QelConfig", nullptr},
    {"MemoryMap", nullptr},
};

// The first call adds the empty text, so its reference is 0.
constexpr TableInitialiser kInitialisers[] = {
    [] { AddPinNumberCondition(0, ""); },
    [] { AddAliasCondition(0, ""); },
    [] { AddInitializeCondition(0, ""); },
};

}  // namespace

std::span<const Section> SectionTable() { return kSections; }
std::span<const TableInitialiser> TableInitialisers() { return kInitialisers; }

}  // namespace qelc
