#include "sections/registry.h"

#include <set>

#include "sections/aliases.h"
#include "sections/checks.h"
#include "sections/cross_references.h"
#include "sections/extensions.h"
#include "sections/groups.h"
#include "sections/information_tables.h"
#include "sections/initialize.h"
#include "sections/memory_map.h"
#include "sections/output_syntax.h"
#include "sections/pin_numbers.h"
#include "sections/pins.h"
#include "sections/prolog_epilog.h"
#include "sections/string_quote.h"
#include "sections/type_categories.h"
#include "sections/type_conversion.h"
#include "sections/type_shorthands.h"
#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/fatal.h"
#include "source/format.h"
#include "source/suggest.h"
#include "source/token_stream.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

// A section whose rules take the table `Table` alone.
template <auto Table, auto Read, auto Write, auto Empty>
constexpr SectionDescriptor Rules(const SectionEntry& entry, const char* dumpHeading) {
  return {&entry,
          entry.keyword.data(),
          [](ParseState& s, TableBlock& tables) { Read(s, tables.*Table); },
          dumpHeading,
          [](ParseState& s, const TableBlock& tables) { Write(s, tables.*Table); },
          [](ParseState& s, TableBlock& tables) { Empty(s, tables.*Table); }};
}

// An information table: the rules of its shape, run with the member's data.
template <auto Table, const auto& Member>
constexpr SectionDescriptor Information(const SectionEntry& entry, const char* dumpHeading) {
  return {&entry,
          entry.keyword.data(),
          [](ParseState& s, TableBlock& tables) { ReadListBody(s, Member, tables.*Table); },
          dumpHeading,
          [](ParseState& s, const TableBlock& tables) { DumpList(s, Member, tables.*Table); },
          [](ParseState& s, TableBlock& tables) { EmptyList(s, Member, tables.*Table); }};
}

constexpr SectionDescriptor kStringQuote{&DafSections()[0],
                                         DafSections()[0].keyword.data(),
                                         [](ParseState& s, TableBlock&) { SkipStringQuoteBody(s); },
                                         nullptr,
                                         nullptr,
                                         nullptr};

// The Pin body tells type categories by the TypeCategory table read before it.
constexpr SectionDescriptor kPin{
    &DafSectionAt(offsetof(TableBlock, pinGroups)),
    DafSectionAt(offsetof(TableBlock, pinGroups)).keyword.data(),
    [](ParseState& s, TableBlock& tables) {
      ReadPinBody(s, tables.pinGroups, tables.typeCategories);
    },
    "\nPin\n",
    [](ParseState& s, const TableBlock& tables) { DumpPins(s, tables.pinGroups); },
    [](ParseState& s, TableBlock& tables) { EmptyPins(s, tables.pinGroups); }};

// The misspelt progress line is part of the console output that other tools
// read.
constexpr SectionDescriptor WithProgressName(SectionDescriptor section, const char* name) {
  section.progressName = name;
  return section;
}

using T = TableBlock;
constexpr auto At = DafSectionAt;

// Whole keywords are compared, so DeviceSpecificInfoTable and
// DeviceSpecificInfo are told apart whichever comes first. A heading without an
// empty line before it (DesignEpilog, TypeConversion, CCodeExample) is part of
// the Out.txt format.
constexpr SectionDescriptor kSections[] = {
    kStringQuote,
    Rules<&T::pinNumbers, ReadPinNumberBody, DumpPinNumbers, EmptyPinNumbers>(
        At(offsetof(T, pinNumbers)), "\nPinNumberByPackage\n"),
    Rules<&T::aliases, ReadAliasBody, DumpAliases, EmptyAliases>(At(offsetof(T, aliases)),
                                                                 "\nAlias\n"),
    Rules<&T::extensions, ReadExtensionBody, DumpExtensions, EmptyExtensions>(
        At(offsetof(T, extensions)), "\nExtensions\n"),
    Rules<&T::typeCategories, ReadTypeCategoryBody, DumpTypeCategories, EmptyTypeCategories>(
        At(offsetof(T, typeCategories)), "\nTypeCategory\n"),
    Rules<&T::typeShortHands, ReadTypeShortHandBody, DumpTypeShortHands, EmptyTypeShortHands>(
        At(offsetof(T, typeShortHands)), "\nTypeShortHand\n"),
    // Two blanks before the parenthesis: part of the dump's format.
    Rules<&T::initialize, ReadInitializeBody, DumpInitialize, EmptyInitialize>(
        At(offsetof(T, initialize)), "\nInitialize  ([xx] is not part of DAF)\n"),
    Rules<&T::prolog, ReadPrologEpilogBody, DumpPrologEpilog, EmptyPrologEpilog>(
        At(offsetof(T, prolog)), "\nDesignProlog\n"),
    Rules<&T::epilog, ReadPrologEpilogBody, DumpPrologEpilog, EmptyPrologEpilog>(
        At(offsetof(T, epilog)), "DesignEpilog\n"),
    Rules<&T::groups, ReadGroupBody, DumpGroups, EmptyGroups>(At(offsetof(T, groups)), "\nGroup\n"),
    Rules<&T::outputSyntaxes, ReadOutputSyntaxBody, DumpOutputSyntaxes, EmptyOutputSyntaxes>(
        At(offsetof(T, outputSyntaxes)), "\nOutputSyntax\n"),
    kPin,
    Rules<&T::typeConversions, ReadTypeConversionBody, DumpTypeConversions, EmptyTypeConversions>(
        At(offsetof(T, typeConversions)), "TypeConversion\n"),
    Information<&T::deviceSpecificInfoTable, kDeviceSpecificInfoTable>(
        At(offsetof(T, deviceSpecificInfoTable)), "\nDeviceSpecificInfoTable\n"),
    Information<&T::deviceSpecificInfo, kDeviceSpecificInfo>(At(offsetof(T, deviceSpecificInfo)),
                                                             "\nDeviceSpecificInfo\n"),
    Information<&T::hardwareSupportTable, kHardwareSupportTable>(
        At(offsetof(T, hardwareSupportTable)), "\nHardwareSupportTable\n"),
    Information<&T::hardwareSupport, kHardwareSupport>(At(offsetof(T, hardwareSupport)),
                                                       "\nHardwareSupport\n"),
    WithProgressName(Information<&T::packageInfoTable, kPackageInfoTable>(
                         At(offsetof(T, packageInfoTable)), "\nPackageInfoTable\n"),
                     "PacakgeInfoTable"),
    Information<&T::voltageRangeTable, kVoltageRangeTable>(At(offsetof(T, voltageRangeTable)),
                                                           "\nVoltageRangeTable\n"),
    Information<&T::templateLink, kTemplateLink>(At(offsetof(T, templateLink)), "\nTemplateLink\n"),
    Information<&T::cCodeFileName, kCCodeFileName>(At(offsetof(T, cCodeFileName)),
                                                   "\nCCodeFileName\n"),
    Information<&T::cCodeExample, kCCodeExample>(At(offsetof(T, cCodeExample)), "CCodeExample\n"),
    Information<&T::qelConfig, kQelConfig>(At(offsetof(T, qelConfig)), "\nQelConfig\n"),
    Rules<&T::memoryMaps, ReadMemoryMapBody, DumpMemoryMaps, EmptyMemoryMaps>(
        At(offsetof(T, memoryMaps)), "\nMemoryMap\n"),
};

// The registry pairs each section of the catalogue with its rules, in the
// catalogue's order.
constexpr bool FollowsTheCatalogue() {
  if (std::size(kSections) != DafSections().size()) return false;
  for (size_t i = 0; i < std::size(kSections); ++i) {
    if (kSections[i].entry != &DafSections()[i]) return false;
  }
  return true;
}
static_assert(FollowsTheCatalogue());

}  // namespace

const WarningCheck kSectionRepeated{
    "section-repeated", true,
    "a section that stands twice: the second fills its table again from the "
    "first entry"};

namespace {

// The linter's words for a token that opens no section.
std::string NotASection(ParseState& s) {
  std::string known;
  Suggestion suggestion(TokenText(s));
  for (const SectionDescriptor& section : kSections) {
    known += known.empty() ? "" : ", ";
    known += section.entry->keyword;
    suggestion.Consider(section.entry->keyword);
  }
  Propose(suggestion, s.diagnostics, CurrentToken(s).start);
  return "expected a section keyword, found " + QuotedToken(s) + "; sections: " + known +
         suggestion.Text();
}

}  // namespace

std::span<const SectionDescriptor> Sections() { return kSections; }

const SectionDescriptor* FindSection(std::string_view word) {
  const SectionEntry* entry = FindDafSection(word);
  return entry ? &kSections[entry - DafSections().data()] : nullptr;
}

void ReadSection(ParseState& s, DafRun& daf, const SectionDescriptor& section) {
  if (Linting(s) && daf.sectionsRead.contains(&section)) {
    Warn(s, kSectionRepeated,
         Format("a second %s section fills its table again from the first "
                "entry on, over what the first one stored",
                section.entry->keyword.data()));
  }
  if (Linting(s)) {
    if (!daf.pinNames) daf.pinNames = std::make_unique<PinNames>();
    s.pinNames = daf.pinNames.get();
  }
  s.diagnostics.Print(MessageKind::kProgress, Format("Parsing Section %s\n", section.progressName));
  FactScope fact(s.facts, s.tokens, SectionKind::kSection);
  ExpectText(s, section.entry->keyword);
  ExpectText(s, "{");
  section.readBody(s, daf.tables);
  ExpectText(s, "}");
  // Only a section read to its end counts: after an error the linter goes on.
  if (Linting(s) && !section.entry->table.empty()) daf.sectionsRead.insert(&section);
  if (section.dump) {
    s.dump.Put<"%s">(section.dumpHeading);
    section.dump(s, daf.tables);
  }
}

void ReadNextSection(ParseState& s, DafRun& daf) {
  const SectionDescriptor* section = FindSection(TokenText(s));
  if (!section) {
    ParseError(s,
               Format("Line: %5d: Expecting a section keyword, but seeing '%s'.\n", LineCounter(s),
                      std::string(TokenText(s)).c_str()),
               "section-keyword", Linting(s) ? NotASection(s) : std::string());
  }
  ReadSection(s, daf, *section);
}

void CheckAcrossSections(ParseState& s, DafRun& daf) {
  if (!daf.pinNames) return;
  // After an error the names of the entries passed over are missing: a use of
  // one of them would be reported as unknown for no fault of its own.
  if (s.diagnostics.ErrorsReported() == 0) {
    daf.pinNames->ReportUnknown(s.diagnostics);
    daf.pinNames->ReportMissingInPackages(s.diagnostics);
  }
  s.pinNames = nullptr;
}

void EmptySectionTables(ParseState& s, TableBlock& tables) {
  for (const SectionDescriptor& section : kSections) {
    if (section.empty) section.empty(s, tables);
  }
}

std::span<const WarningCheck* const> SectionWarningChecks() {
  static constexpr const WarningCheck* kChecks[] = {
      &kEmptyTextEndsList, &kInitializeAttribute, &kMemoryRangesOverlap, &kOutputSyntaxNameReplaced,
      &kPackageMismatch,   &kPinMissingInPackage, &kPinNameRepeated,     &kPinNameUnquoted,
      &kPinNumberRepeated, &kPinOutOfPackage,     &kSectionRepeated,     &kUnknownPinName};
  return kChecks;
}

}  // namespace qelc
