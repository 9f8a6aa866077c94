#include "sections/registry.h"

#include "sections/aliases.h"
#include "sections/extensions.h"
#include "sections/groups.h"
#include "sections/initialize.h"
#include "sections/output_syntax.h"
#include "sections/pin_numbers.h"
#include "sections/pins.h"
#include "sections/prolog_epilog.h"
#include "sections/statements.h"
#include "sections/string_quote.h"
#include "sections/type_categories.h"
#include "sections/type_conversion.h"
#include "sections/type_shorthands.h"

namespace qelc {

namespace {

// Whole keywords are compared, so DeviceSpecificInfoTable and DeviceSpecificInfo
// are told apart whichever comes first.
constexpr Section kSections[] = {
    {"StringQuote", SecStringQuote},
    {"PinNumberByPackage", SecPinNumberByPackage},
    {"Alias", SecAlias},
    {"Extensions", SecExtensions},
    {"TypeCategory", SecTypeCategory},
    {"TypeShortHand", SecTypeShortHand},
    {"Initialize", SecInitialize},
    {"DesignProlog",
     [] {
       PrologEpilogFlag() = 1;
       SecDesignPrologEpilog();
     }},
    {"DesignEpilog",
     [] {
       PrologEpilogFlag() = 0;
       SecDesignPrologEpilog();
     }},
    {"Group", SecGroup},
    {"OutputSyntax", SecOutputSyntax},
    {"Pin", SecPin},
    {"TypeConversion", SecTypeConversion},
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
    [] { AddExtension(0, "", ""); },
    [] { AddTypeCategory(0, "", ""); },
    [] { AddTypeShortHand(0, -1, "", "", ""); },
    [] { AddInitializeCondition(0, ""); },
    [] {
      PrologEpilogFlag() = 1;
      AddPrologEpilogCondition(0, "");
    },
    [] {
      PrologEpilogFlag() = 0;  // and so it stays until a DesignProlog section
      AddPrologEpilogCondition(0, "");
    },
    [] { AddGroupCondition(0, ""); },
    [] { AddOutputSyntax(0, ""); },
    [] { AddPinName(0, 0, ""); },
    [] { AddTypeConversion(0, "", "", ""); },
};

}  // namespace

std::span<const Section> SectionTable() { return kSections; }
std::span<const TableInitialiser> TableInitialisers() { return kInitialisers; }

}  // namespace qelc
