#include "sections/registry.h"

#include "sections/aliases.h"
#include "sections/extensions.h"
#include "sections/groups.h"
#include "sections/information_tables.h"
#include "sections/initialize.h"
#include "sections/memory_map.h"
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
    {"DeviceSpecificInfoTable", SecDeviceSpecificInfoTable},
    {"DeviceSpecificInfo", SecDeviceSpecificInfo},
    {"HardwareSupportTable", SecHardwareSupportTable},
    {"HardwareSupport", SecHardwareSupport},
    {"PackageInfoTable", SecPackageInfoTable},
    {"VoltageRangeTable", SecVoltageRangeTable},
    {"TemplateLink", SecTemplateLink},
    {"CCodeFileName", [] { SecCCodeFileName(kCCodeFileNameSelector); }},
    {"CCodeExample", [] { SecCCodeFileName(kCCodeExampleSelector); }},
    {"QelConfig", SecQelConfig},
    {"MemoryMap", SecMemoryMap},
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
    [] {
      AddDeviceSpecificInfoCondition(0, "");
      AddDeviceSpecificInfoItem(0, 0, "");
    },
    [] { AddDeviceSpecificInfoTableRow(0, 0, ""); },
    [] { AddHardwareSupportTableRow(0, 0, ""); },
    [] {
      AddHardwareSupportCondition(0, "");
      AddHardwareSupportItem(0, 0, "");
    },
    [] { AddPackageInfoTableRow(0, 0, ""); },
    [] { AddVoltageRangeTableRow(0, 0, ""); },
    [] {
      AddTemplateLinkCondition(0, "");
      AddTemplateLinkItem(0, 0, "");
    },
    [] {
      for (int32_t selector : {kCCodeFileNameSelector, kCCodeExampleSelector}) {
        AddCCodeCondition(0, "", selector);
        AddCCodeItem(0, 0, "", selector);
      }
    },
    [] {
      AddQelConfigCondition(0, "");
      AddQelConfigItem(0, 0, "");
    },
    [] { AddMemoryMapCondition(0, ""); },
};

}  // namespace

std::span<const Section> SectionTable() { return kSections; }
std::span<const TableInitialiser> TableInitialisers() { return kInitialisers; }

}  // namespace qelc
