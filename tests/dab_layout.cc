#include "tests/dab_layout.h"

#include <charconv>
#include <memory>
#include <stdexcept>

namespace qelc::test {

namespace {

Member Integer(std::string name, int count = 0) {
  return Member{std::move(name), FieldKind::kInteger, nullptr, count, 4, 0};
}

Member Reference(std::string name, int count = 0) {
  return Member{std::move(name), FieldKind::kReference, nullptr, count, 4, 0};
}

Member Nested(std::string name, const RecordType& record, int count = 0) {
  return Member{std::move(name), FieldKind::kInteger, &record, count, record.size, 0};
}

size_t MemberSize(const Member& member) {
  return member.elementSize * size_t(member.count == 0 ? 1 : member.count);
}

// Lays the members out back to back and checks the record against the size that
// the file format gives for it.
RecordType Record(std::string name, std::vector<Member> members, size_t expectedSize) {
  RecordType record{std::move(name), std::move(members), 0};
  for (Member& member : record.members) {
    member.offset = record.size;
    record.size += MemberSize(member);
  }
  if (record.size != expectedSize) {
    throw std::logic_error("layout of " + record.name + " is " + std::to_string(record.size) +
                           " bytes, the format says " + std::to_string(expectedSize));
  }
  return record;
}

struct Table {
  Member member;
  size_t offset;  // where the format places the table
};

// Record layouts, then the table map with each table's offset in the block.
struct Layout {
  RecordType slot = Record("statement slot", {Reference("kind"), Reference("text")}, 8);
  RecordType statements = Record("statement list", {Nested("slots", slot, 8)}, 64);

  RecordType pinNumberRow = Record("pin-number row",
                                   {Reference("package"), Integer("pinNumber"),
                                    Integer("reserved"), Reference("name")},
                                   16);
  RecordType pinNumberCondition =
      Record("pin-number condition", {Reference("condition"), Nested("rows", pinNumberRow, 150)},
             2404);

  RecordType aliasRow = Record("alias row", {Reference("alias"), Reference("target")}, 8);
  RecordType aliasCondition =
      Record("alias condition", {Reference("condition"), Nested("rows", aliasRow, 100)}, 804);

  RecordType extension = Record("extension", {Reference("first"), Reference("second")}, 8);
  RecordType typeCategory = Record("type category", {Reference("name"), Reference("value")}, 8);
  RecordType typeShortHand = Record(
      "type shorthand",
      {Integer("code"), Reference("qualifiers"), Reference("name"), Reference("value")}, 16);

  RecordType initializeRow =
      Record("initialize row",
             {Reference("pin"), Reference("signal"), Integer("changeable"), Integer("reserved"),
              Reference("reservedName"), Reference("displayName")},
             24);
  RecordType initializeCondition = Record(
      "initialize condition", {Reference("condition"), Nested("rows", initializeRow, 80)}, 1924);

  RecordType prologEpilogEntry = Record(
      "prolog/epilog entry", {Reference("condition"), Nested("statements", statements)}, 68);

  RecordType groupMember = Record(
      "group member", {Reference("item"), Reference("value"), Integer("alternative")}, 12);
  RecordType groupRecord = Record("group record",
                                  {Reference("name"), Reference("text"),
                                   Nested("members", groupMember, 100),
                                   Nested("statements", statements)},
                                  1272);
  RecordType groupCondition = Record(
      "group condition", {Reference("condition"), Nested("groups", groupRecord, 40)}, 50884);

  RecordType outputSyntax = Record(
      "output syntax", {Reference("name"), Nested("statements", statements)}, 68);

  RecordType pinCategory =
      Record("pin category", {Reference("name"), Reference("selections", 8)}, 36);
  RecordType pinCondition = Record(
      "pin condition", {Reference("condition"), Nested("categories", pinCategory, 20)}, 724);
  RecordType pinGroup =
      Record("pin group", {Reference("names", 16), Nested("conditions", pinCondition, 10)}, 7304);

  RecordType typeConversion = Record(
      "type conversion", {Reference("first"), Reference("second"), Reference("third")}, 12);

  RecordType numberedRow = Record("numbered row", {Integer("number"), Reference("text")}, 8);
  RecordType items30 =
      Record("conditional record", {Reference("condition"), Reference("items", 30)}, 124);
  RecordType items5 =
      Record("conditional record", {Reference("condition"), Reference("items", 5)}, 24);
  RecordType items10 =
      Record("conditional record", {Reference("condition"), Reference("items", 10)}, 44);
  RecordType items3 =
      Record("conditional record", {Reference("condition"), Reference("items", 3)}, 16);
  RecordType items70 =
      Record("conditional record", {Reference("condition"), Reference("items", 70)}, 284);

  RecordType memoryMapEntry = Record("memory map entry", {Reference("fields", 8)}, 32);
  RecordType memoryMap = Record("memory map",
                                {Integer("number"), Reference("title"), Reference("description"),
                                 Reference("mainFlash"), Reference("secondaryFlash"),
                                 Nested("entries", memoryMapEntry, 30)},
                                980);
  RecordType memoryMapCondition = Record(
      "memory map condition", {Reference("condition"), Nested("maps", memoryMap, 10)}, 9804);

  RecordType block = Block();

  RecordType Block() const {
    Member formatVersion{"formatVersion", FieldKind::kBytes, nullptr, 0, 20, 0};
    const Table tables[] = {
        {Nested("pinNumbers", pinNumberCondition, 10), 0x20},
        {Nested("aliases", aliasCondition, 10), 0x5E08},
        {Nested("extensions", extension, 20), 0x7D70},
        {Nested("typeCategories", typeCategory, 20), 0x7E10},
        {Nested("typeShortHands", typeShortHand, 300), 0x7EB0},
        {Nested("initialize", initializeCondition, 50), 0x9170},
        {Nested("prolog", prologEpilogEntry, 20), 0x20938},
        {Nested("epilog", prologEpilogEntry, 20), 0x20E88},
        {Nested("groups", groupCondition, 10), 0x213D8},
        {Nested("outputSyntaxes", outputSyntax, 300), 0x9D780},
        {Nested("pinGroups", pinGroup, 150), 0xA2730},
        {Nested("typeConversions", typeConversion, 50), 0x1ADEE0},
        {Nested("deviceSpecificInfoTable", numberedRow, 30), 0x1AE138},
        {Nested("deviceSpecificInfo", items30, 30), 0x1AE228},
        {Nested("hardwareSupportTable", numberedRow, 5), 0x1AF0B0},
        {Nested("hardwareSupport", items5, 30), 0x1AF0D8},
        {Nested("packageInfoTable", numberedRow, 20), 0x1AF3A8},
        {Nested("voltageRangeTable", numberedRow, 10), 0x1AF448},
        {Nested("templateLink", items10, 30), 0x1AF498},
        {Nested("cCodeFileName", items3, 100), 0x1AF9C0},
        {Nested("cCodeExample", items30, 20), 0x1B0000},
        {Nested("qelConfig", items70, 40), 0x1B09B0},
        {Nested("memoryMaps", memoryMapCondition, 20), 0x1B3610},
    };
    std::vector<Member> members = {formatVersion, Integer("poolUsedSize"),
                                   Integer("poolCapacity"), Integer("poolAddress")};
    size_t offset = 32;
    for (const Table& table : tables) {
      if (offset != table.offset) {
        throw std::logic_error("table " + table.member.name + " would start at " +
                               std::to_string(offset) + ", the format says " +
                               std::to_string(table.offset));
      }
      members.push_back(table.member);
      offset += MemberSize(table.member);
    }
    return Record("table block", std::move(members), kBlockSize);
  }
};

const Layout& TheLayout() {
  static const Layout* layout = new Layout();
  return *layout;
}

std::string ListMembers(const RecordType& record) {
  std::string names;
  for (const Member& member : record.members) {
    if (!names.empty()) names += ", ";
    names += member.name;
  }
  return names;
}

[[noreturn]] void Refuse(std::string_view path, const std::string& problem) {
  throw std::invalid_argument("field path '" + std::string(path) + "': " + problem);
}

}  // namespace

const RecordType& BlockLayout() { return TheLayout().block; }

FieldLocation ResolvePath(std::string_view path) {
  const RecordType* record = &BlockLayout();
  size_t offset = 0;
  size_t at = 0;
  std::string walked;  // the part of the path resolved so far, for messages
  while (true) {
    size_t nameEnd = path.find_first_of(".[", at);
    std::string_view name = path.substr(at, nameEnd == std::string_view::npos ? nameEnd : nameEnd - at);
    const Member* member = nullptr;
    for (const Member& candidate : record->members) {
      if (candidate.name == name) member = &candidate;
    }
    if (!member) {
      Refuse(path, (walked.empty() ? std::string("no table") : "'" + walked + "' has no field") +
                       " named '" + std::string(name) + "' (known: " + ListMembers(*record) + ")");
    }
    walked += walked.empty() ? "" : ".";
    walked += name;
    offset += member->offset;
    at = nameEnd == std::string_view::npos ? path.size() : nameEnd;

    if (member->count > 0) {
      if (at >= path.size() || path[at] != '[') {
        Refuse(path, "'" + walked + "' is a list of " + std::to_string(member->count) +
                         " and needs an index");
      }
      size_t close = path.find(']', at);
      if (close == std::string_view::npos) Refuse(path, "missing ']' after '" + walked + "['");
      std::string_view digits = path.substr(at + 1, close - at - 1);
      int index = -1;
      auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        Refuse(path, "index '" + std::string(digits) + "' of '" + walked + "' is not a number");
      }
      if (index < 0 || index >= member->count) {
        Refuse(path, "index " + std::to_string(index) + " is out of range for '" + walked +
                         "', which has " + std::to_string(member->count) + " entries (0 to " +
                         std::to_string(member->count - 1) + ")");
      }
      walked += "[" + std::string(digits) + "]";
      offset += size_t(index) * member->elementSize;
      at = close + 1;
    } else if (at < path.size() && path[at] == '[') {
      Refuse(path, "'" + walked + "' is not a list");
    }

    if (!member->record) {
      if (at != path.size()) Refuse(path, "'" + walked + "' is a field and has no parts");
      return FieldLocation{offset, member->elementSize, member->kind};
    }
    if (at >= path.size()) {
      Refuse(path, "'" + walked + "' is a record; name one of its fields (" +
                       ListMembers(*member->record) + ")");
    }
    if (path[at] != '.') Refuse(path, "expected '.' after '" + walked + "'");
    ++at;
    record = member->record;
  }
}

ByteName NameByte(size_t offset) {
  ByteName name;
  const RecordType* record = &BlockLayout();
  size_t base = 0;
  while (true) {
    const Member* member = nullptr;
    for (const Member& candidate : record->members) {
      if (offset >= base + candidate.offset && offset < base + candidate.offset + MemberSize(candidate)) {
        member = &candidate;
      }
    }
    if (!member) throw std::out_of_range("byte " + std::to_string(offset) + " is not in the block");
    name.path += name.path.empty() ? "" : ".";
    name.path += member->name;
    base += member->offset;
    if (member->count > 0) {
      size_t index = (offset - base) / member->elementSize;
      name.path += "[" + std::to_string(index) + "]";
      base += index * member->elementSize;
    }
    if (!member->record) {
      name.field = FieldLocation{base, member->elementSize, member->kind};
      return name;
    }
    record = member->record;
  }
}

}  // namespace qelc::test
