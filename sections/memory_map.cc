#include "sections/memory_map.h"

#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/catalogue.h"
#include "sections/section_rules.h"
#include "source/ascii.h"
#include "source/fatal.h"
#include "source/format.h"
#include "tables/dump_stream.h"
#include "tables/parse_state.h"

namespace qelc {

namespace {

// The last record and the last map slot can only hold the terminator: one short
// of the arrays on purpose, part of the file format (the catalogue says so).
constexpr std::span<const Capacity> kCapacities =
    DafSectionAt(offsetof(TableBlock, memoryMaps)).capacities;
constexpr int32_t kRecordLimit = kCapacities[0].Limit();
constexpr int32_t kMapLimit = kCapacities[1].Limit();
constexpr int32_t kEntryLimit = kCapacities[2].Limit();

constexpr char kConditionOverflow[] = "Exceed number of memory map conditions.\n";
constexpr char kMapOverflow[] = "Exceed number of MemoryMaps.\n";
constexpr char kEntryOverflow[] = "Exceed number of MemoryMap Entries.\n";

// The longest texts the memory map keeps.
constexpr int kEntryFieldLimit = text_limit::kMapEntryField;
constexpr int kLastFieldLimit = text_limit::kMapLastField;
constexpr int kHeaderValueLimit = text_limit::kMapToken;
constexpr int kTitleLimit = text_limit::kMapTitle;
constexpr int kDescriptionLimit = text_limit::kMapDescription;
constexpr int kFlashSpaceLimit = text_limit::kMapFlashSpace;

// Field 8 of an entry written with seven fields.
constexpr char kNoLastField[] = "-";

using MapList = decltype(MemoryMapCondition::maps);
using EntryList = decltype(MemoryMap::entries);

// Fields 1 to 8 of a memory map entry, in source order.
using MemoryMapFields = std::array<std::string, 8>;

void AddMemoryMapCondition(ParseState& s, MemoryMapTable& table, int32_t index,
                           std::string_view text) {
  AddCondition(s, table, index, kRecordLimit, kConditionOverflow, text);
}

struct MapHeader {
  int32_t number;
  std::string title;
  std::string description;
  std::string mainFlash;
  std::string secondaryFlash;
};

void AddMemoryMap(ParseState& s, MapList& maps, int32_t map, const MapHeader& header) {
  AddEntry(
      s, maps, map, kMapLimit, kMapOverflow,
      [&](MemoryMap& slot) {
        slot.number = header.number;
        s.pool.AddTo(slot.title, header.title);
        s.pool.AddTo(slot.description, header.description);
        s.pool.AddTo(slot.mainFlash, header.mainFlash);
        s.pool.AddTo(slot.secondaryFlash, header.secondaryFlash);
      },
      // The entries of the next slot stay as they are.
      [&](MemoryMap& next) {
        next.number = -1;
        s.pool.AddTo(next.title, "");
        s.pool.AddTo(next.description, "");
        s.pool.AddTo(next.mainFlash, "");
        s.pool.AddTo(next.secondaryFlash, "");
      });
}

void AddMemoryMapEntry(ParseState& s, EntryList& entries, int32_t entry,
                       const MemoryMapFields& fields) {
  AddEntry(
      s, entries, entry, kEntryLimit, kEntryOverflow,
      [&](MemoryMapEntry& stored) {
        for (size_t field = 0; field < fields.size(); ++field) {
          s.pool.AddTo(stored.fields[field], fields[field]);
        }
      },
      [&](MemoryMapEntry& next) {
        for (StringRef& field : next.fields) s.pool.AddTo(field, "");
      });
}

// label ':' -- the label may be any token and is not examined. Returns where
// the label stands.
TextPoint SkipLabel(ParseState& s) {
  TextPoint label = CurrentToken(s).start;
  SkipToken(s);
  ExpectText(s, ":");
  return label;
}

// While linting: a header value followed by ':' was the first field of an entry,
// so the header is short of a line, and the line read from `label` on is an
// entry. What fails on that line is said there.
void NoteEntryAsHeader(ParseState& s, TextPoint label, const char* headerLine) {
  if (!Linting(s) || !TokenIs(s, ":")) return;
  NoteCause(s, label,
            Format("an entry stands where the memory map's %s line should: a map starts with "
                   "the lines Number, Title, Description, Main and Secondary (LABEL : value)",
                   headerLine),
            CauseReach::kRestOfLine);
}

// Takes a value whose quotes are removed: as written it may be `writtenLimit`
// characters long, without its quotes `limit`.
std::string TakeUnquoted(ParseState& s, int writtenLimit, int limit) {
  CheckTextLength(s, TokenText(s), writtenLimit);
  std::string text = Unquote(TokenText(s));
  CheckTextLength(s, text, limit);
  SkipTextValue(s);
  return text;
}

// description -> value (',' value)*, joined with nothing between the pieces.
std::string TakeDescription(ParseState& s) {
  std::string description = TakeUnquoted(s, kHeaderValueLimit, kDescriptionLimit);
  while (SkipIf(s, ",")) {
    CheckTextLength(s, TokenText(s), kHeaderValueLimit);
    description += Unquote(TokenText(s));
    CheckTextLength(s, description, kDescriptionLimit);
    SkipTextValue(s);
  }
  return description;
}

// The map number is the value of the token's leading digits; whatever follows
// them is ignored, and 0 is no map number.
int32_t TakeMapNumber(ParseState& s) {
  int32_t number = LeadingDigitsValue(TokenText(s));
  if (number == 0) {
    s.diagnostics.Fail(
        "Error in getting the map number.\n", Stream::kStandardError, "map-number",
        "a memory map's number must start with a digit other than 0, found " + QuotedToken(s));
  }
  if (Linting(s) && !IsWholeDecimal(TokenText(s))) {
    Warn(s, kNumberConversionCheck,
         Format("map number '%s' is not stored as written: %d is stored",
                std::string(TokenText(s)).c_str(), number));
  }
  SkipToken(s);
  return number;
}

// [':' f8], "-" when the entry has seven fields
std::string TakeLastField(ParseState& s) {
  if (!SkipIf(s, ":")) return kNoLastField;
  return TakeUnquoted(s, kLastFieldLimit, kLastFieldLimit);
}

// entry -> f1 ':' f2 ':' f3 ':' f4 ':' f5 ':' f6 ':' f7 [':' f8]
// Fields 3 and 8 lose their quotes; the others are kept as written.
MemoryMapFields TakeEntry(ParseState& s) {
  MemoryMapFields fields;
  fields[0] = TakeWord(s, kEntryFieldLimit);
  ExpectText(s, ":");
  fields[1] = TakeWord(s, kEntryFieldLimit);
  ExpectText(s, ":");
  fields[2] = TakeUnquoted(s, kHeaderValueLimit, kEntryFieldLimit);
  ExpectText(s, ":");
  for (int field = 3; field < 6; ++field) {
    fields[field] = TakeWord(s, kEntryFieldLimit);
    ExpectText(s, ":");
  }
  fields[6] = TakeWord(s, kEntryFieldLimit);
  fields[7] = TakeLastField(s);
  return fields;
}

// header -> '{' label ':' number label ':' title label ':' description
//           label ':' main-flash label ':' secondary-flash
MapHeader ReadMapHeader(ParseState& s) {
  ExpectText(s, "{");
  MapHeader header;
  TextPoint label = SkipLabel(s);
  header.number = TakeMapNumber(s);
  NoteEntryAsHeader(s, label, "Number");
  label = SkipLabel(s);
  header.title = TakeUnquoted(s, kHeaderValueLimit, kTitleLimit);
  NoteEntryAsHeader(s, label, "Title");
  label = SkipLabel(s);
  header.description = TakeDescription(s);
  NoteEntryAsHeader(s, label, "Description");
  label = SkipLabel(s);
  header.mainFlash = TakeUnquoted(s, kHeaderValueLimit, kFlashSpaceLimit);
  NoteEntryAsHeader(s, label, "Main");
  label = SkipLabel(s);
  header.secondaryFlash = TakeUnquoted(s, kHeaderValueLimit, kFlashSpaceLimit);
  NoteEntryAsHeader(s, label, "Secondary");
  return header;
}

// An entry ends at its ',' or where a word opens the next line; a 'When' there
// ends the map.
ResumeAt AtNextEntry(const Parser& p) {
  if (TokenIs(p, ",")) return ResumeAt::kAfter;
  ResumeAt when = WhenEndsList(p);
  return when != ResumeAt::kNo ? when : AtWordOpeningLine(p);
}

// The address that a start or end field writes: `0x` and hex digits, or
// decimal digits; nothing for any other text (a name, a define not replaced)
// or a value past 64 bits.
std::optional<uint64_t> AddressOf(std::string_view text) {
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '0' && FoldCase(text[1]) == 'x') {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    char folded = FoldCase(c);
    uint64_t digit = 0;
    if (folded >= '0' && folded <= '9') {
      digit = uint64_t(folded - '0');
    } else if (base == 16 && folded >= 'a' && folded <= 'f') {
      digit = uint64_t(folded - 'a' + 10);
    } else {
      return std::nullopt;
    }
    if (value > (UINT64_MAX - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

// While linting: the address ranges of one map read so far, each from its
// start to its end address, both held.
class MapRanges {
 public:
  // Warns when the entry read at `at` holds an address that an earlier range
  // of the map holds too (the first such range is named).
  void Note(ParseState& s, TextPoint at, const MemoryMapFields& fields) {
    std::optional<uint64_t> start = AddressOf(fields[0]);
    std::optional<uint64_t> end = AddressOf(fields[1]);
    if (!start || !end || *start > *end) return;
    for (const Range& earlier : ranges_) {
      if (*start > earlier.end || earlier.start > *end) continue;
      WarnAt(s, at, kMemoryRangesOverlap,
             Format("range %s-%s of %s overlaps range %s-%s of %s (at %s)", fields[0].c_str(),
                    fields[1].c_str(), QuotedText(fields[2]).c_str(), earlier.first.c_str(),
                    earlier.last.c_str(), QuotedText(earlier.name).c_str(),
                    s.diagnostics.EarlierPlace(earlier.at, at).c_str()));
      break;
    }
    ranges_.push_back({*start, *end, at, fields[0], fields[1], fields[2]});
  }

 private:
  struct Range {
    uint64_t start, end;
    TextPoint at;
    std::string first, last, name;  // as written
  };
  std::vector<Range> ranges_;
};

// map -> header (entry [','])+ '}'
void ReadMemoryMap(ParseState& s, MapList& maps, int32_t map) {
  AddMemoryMap(s, maps, map, ReadMapHeader(s));
  int32_t entry = 0;
  MapRanges ranges;
  do {
    bool read = ReadEntry(s, AtNextEntry, [&] {
      TextPoint at = CurrentToken(s).start;
      MemoryMapFields fields = TakeEntry(s);
      AddMemoryMapEntry(s, maps[map].entries, entry, fields);
      if (Linting(s)) ranges.Note(s, at, fields);
      SkipIf(s, ",");
    });
    if (read) ++entry;
  } while (!TokenIs(s, "}"));
  ExpectText(s, "}");
}

// map-list -> [','] map (',' map)*
// A map ends with its '}' (the commas of a map's description and entries are
// its own) or at the next clause.
void ReadMapList(ParseState& s, MapList& maps) {
  SkipIf(s, ",");
  ReadCommaList(
      s, [&](int32_t map) { ReadMemoryMap(s, maps, map); }, WhenEndsList, true);
}

}  // namespace

const WarningCheck kMemoryRangesOverlap{
    "memory-ranges-overlap", true,
    "two address ranges of one memory map that hold a common address"};

void ReadMemoryMapBody(ParseState& s, MemoryMapTable& table) {
  ReadClauses(s, AlwaysClause::kStoredAfter, table, AddMemoryMapCondition,
              [&](int32_t index) { ReadMapList(s, table[index].maps); });
}

void EmptyMemoryMaps(ParseState& s, MemoryMapTable& table) {
  AddMemoryMapCondition(s, table, 0, "");
}

void DumpMemoryMaps(ParseState& s, const MemoryMapTable& table) {
  for (const MemoryMapCondition& record : table) {
    if (s.pool.IsEmpty(record.condition)) break;
    s.dump.Put<"   When: <%s>\n">(s.pool.String(record.condition));
    // A map whose description is empty ends the dumped list, though the table
    // may hold maps behind it.
    for (const MemoryMap& map : record.maps) {
      if (s.pool.IsEmpty(map.description)) break;
      s.dump.Put<"      MemoryMap Info      : \n">();
      s.dump.Put<"      Map number          : <%d>\n">(map.number);
      s.dump.Put<"      Map Title           : <%s>\n">(s.pool.String(map.title));
      s.dump.Put<"      Description         : <%s>\n">(s.pool.String(map.description));
      s.dump.Put<"      Main Flash Space    : <%s>\n">(s.pool.String(map.mainFlash));
      s.dump.Put<"      SecondaryFlashSpace : <%s>\n">(s.pool.String(map.secondaryFlash));
      // Field 8 is not shown.
      for (const MemoryMapEntry& entry : map.entries) {
        if (s.pool.IsEmpty(entry.fields[0])) break;
        const StringRef* fields = entry.fields;
        s.dump.Put<"         <%s> <%s> <%s> <%s> <%s> <%s> <%s>\n">(
            s.pool.String(fields[0]), s.pool.String(fields[1]), s.pool.String(fields[2]),
            s.pool.String(fields[3]), s.pool.String(fields[4]), s.pool.String(fields[5]),
            s.pool.String(fields[6]));
      }
    }
  }
}

}  // namespace qelc
