#include "decompile/daf_source.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "decompile/source_text.h"
#include "formats/catalogue.h"
#include "formats/lexicon.h"
#include "formats/table_block.h"
#include "qelc/qelc.h"

namespace qelc::decompile {

namespace {

// The line that opens a clause of a section's body: `When condition :`, or
// `Always :` without a condition.
std::string ClauseLine(const std::optional<std::string>& condition) {
  if (!condition) return "  " + std::string(kAlwaysWord) + " :";
  return "  " + std::string(kWhenWord) + " " + *condition + " :";
}

// A table's section as text, and the pool offsets of the strings it refers
// to, in the order it writes them: the sections are ordered by them, so that
// recompiling adds the strings to the pool in the order the file holds them.
struct Section {
  const SectionEntry* entry = nullptr;
  std::string text;
  std::vector<StringRef> strings;
};

// The sections in the order that adds their strings to the pool as the file
// holds them, where one exists: next comes the section whose strings not yet
// added come first in the pool, compared string by string (two sections that
// both start with the condition "1" are told apart by what follows it). The
// sections that add no string of their own come last.
std::vector<Section> InPoolOrder(std::vector<Section> sections) {
  std::unordered_set<StringRef> added;
  // True when the strings that `a` would add come before those of `b`.
  auto before = [&](const Section& a, const Section& b) {
    auto x = a.strings.begin(), y = b.strings.begin();
    for (;;) {
      while (x != a.strings.end() && added.contains(*x)) ++x;
      while (y != b.strings.end() && added.contains(*y)) ++y;
      // A section that runs out first adds nothing the other does not.
      if (x == a.strings.end() || y == b.strings.end()) {
        return x != a.strings.end();
      }
      if (*x != *y) return *x < *y;
      ++x, ++y;
    }
  };
  std::vector<Section> ordered;
  while (!sections.empty()) {
    auto next = sections.begin();
    for (auto i = sections.begin() + 1; i != sections.end(); ++i) {
      if (before(*i, *next)) next = i;
    }
    added.insert(next->strings.begin(), next->strings.end());
    ordered.push_back(std::move(*next));
    sections.erase(next);
  }
  return ordered;
}

// The longest word or string, quotes included, that a section stores.
constexpr size_t kLongestWord = text_limit::kStored;

class Writer {
 public:
  Writer(const DabFile& file, std::vector<std::string>& problems)
      : file_(file), problems_(problems), block_(std::make_unique<TableBlock>()) {
    std::memcpy(block_.get(), file.Bytes().data(), sizeof(TableBlock));
  }

  const TableBlock& Block() const { return *block_; }

  // Above 0, lists are written with what earlier, longer lists left after
  // their end: the section written at layer L goes before the one at L - 1,
  // and layer 0 gives the lists their ends. A list with k ends after its
  // own, one from each earlier section, is written at layer L up to end
  // min(L - B, k), where B is the lowest layer that writes the record (0,
  // or above for a record that only earlier sections wrote).
  bool Leftovers() const { return layer_ > 0; }
  size_t Layer() const { return layer_; }
  // The record being written is one whose lists no layer below `base`
  // writes into (above 0, only its name or condition is cleared).
  void WriteFrom(size_t base) { base_ = base; }
  bool Ok() const { return ok_; }
  void SetOk(bool ok) { ok_ = ok; }
  void WriteLayer(size_t layer) { layer_ = layer; }
  // Which of `ends`, the ends of a list after its own end, the list is written
  // up to at this layer: 0 for its own end, i for ends[i - 1].
  size_t EndAt(size_t ends) const { return std::min(layer_ > base_ ? layer_ - base_ : 0, ends); }

  // The text at `ref` for the source; a reference into the middle of a string
  // cannot be written back.
  std::string_view Text(StringRef ref, Section& section) {
    if (!file_.StartsString(ref)) {
      ok_ = false;
      return {};
    }
    if (ref != 0) section.strings.push_back(ref);
    return file_.StringAt(ref);
  }

  // The text at `ref`, looked at to decide how to write something else: it is
  // not counted among the strings the section adds.
  std::string_view Peek(StringRef ref) const {
    return file_.StartsString(ref) ? file_.StringAt(ref) : std::string_view();
  }

  // `text` written by `how`, or a note that it cannot be, which fails the table.
  std::string Written(std::optional<std::string> how) {
    if (!how) {
      ok_ = false;
      return "''";
    }
    return *how;
  }
  // A word is limited by its token, the text the tokenizer reads: a quoted
  // string with its two apostrophes but without its escapes.
  std::string QuotedText(std::string_view text) {
    return Written(text.size() + 2 > kLongestWord ? std::nullopt : Quoted(text));
  }
  std::string WordText(std::string_view text) {
    return Written(text.size() > kLongestWord ? std::nullopt : AsWritten(text));
  }
  // A text that the section reads as a word and unquotes: quoted, or bare
  // where the apostrophes would make its word too long.
  std::string Quote(StringRef ref, Section& s) {
    std::string_view text = Text(ref, s);
    bool bare = text.size() + 2 > kLongestWord && text.find('\'') == std::string_view::npos &&
                AsWritten(text) == text;
    return bare ? WordText(text) : QuotedText(text);
  }
  std::string Word(StringRef ref, Section& s) { return WordText(Text(ref, s)); }
  // A field the reader takes as whatever token stands there, a delimiter too.
  std::string Token(StringRef ref, Section& s) {
    std::string_view text = Text(ref, s);
    return Written(text.size() > kLongestWord ? std::nullopt : AsToken(text));
  }
  // A condition's words are limited by the text they store, not by how long
  // their source is.
  std::string Condition(StringRef ref, Section& s) {
    std::optional<std::string> source = ConditionSource(Text(ref, s));
    if (!source) ok_ = false;
    return source.value_or("");
  }

  // Names the section's table when one of its values could not be written.
  void Check(const SectionEntry& section) {
    if (!ok_) {
      problems_.push_back("cannot express " + std::string(section.table) +
                          ": a value no source text stores");
    }
    ok_ = true;
  }

 private:
  const DabFile& file_;
  std::vector<std::string>& problems_;
  std::unique_ptr<TableBlock> block_;
  bool ok_ = true;
  size_t layer_ = 0;
  size_t base_ = 0;
};

// The entries of a list table that a source writes: up to the last one that
// differs from a source without the section. Readers end the list at its first
// empty entry (a `When :` clause, an empty first text); the compiler stores
// the entries after it all the same, and so does the source written here.
template <typename Entry, size_t N>
size_t EntryCount(const Entry (&table)[N], const Entry (&empty)[N]) {
  size_t count = N;
  while (count > 0 && std::memcmp(&table[count - 1], &empty[count - 1], sizeof(Entry)) == 0) {
    --count;
  }
  return count;
}

// True when `entry` holds nothing: what the compiler leaves after the last
// entry it writes.
template <typename Entry>
bool IsBlank(const Entry& entry) {
  Entry blank{};
  return std::memcmp(&entry, &blank, sizeof(Entry)) == 0;
}

// The `When condition :` clauses of a table whose clauses hold rows (the
// array `Rows` of each record: rows, or the words of a conditional list), up
// to the catalogued number of rows each; a first clause under "1" is written
// `Always :` where the section takes one. Each row written blanks the row after it; where
// `closesRows`, the end of a clause's rows is written as a blank row too, which
// blanks the one after it as well. A blank row inside a clause's rows is what
// a shorter clause left when a section was read again: the section is written
// once with every row (a blank one filled by another row), then again for each
// blank row that the end of a shorter clause must make, the last first.
template <auto Rows, typename Record, size_t N, typename Line>
void WriteClauseRows(Writer& w, Section& s, const Record (&table)[N], const Record (&empty)[N],
                     Line&& line) {
  // A list closed by an empty row of its own blanks the row after its end.
  bool closesRows = s.entry->capacities[1].closedByEmpty;
  size_t rowLimit = size_t(s.entry->capacities[1].Usable());
  using Row = std::remove_cvref_t<decltype((table[0].*Rows)[0])>;
  struct ClauseRows {
    size_t end = 0;              // after the last row that is not blank
    std::vector<size_t> blanks;  // the blank rows before it
    std::vector<size_t> ends;    // where shorter sections end the clause
  };
  size_t count = EntryCount(table, empty);
  std::vector<ClauseRows> clauses(count);
  const Row* filler = nullptr;
  size_t sections = 1;
  for (size_t i = 0; i < count; ++i) {
    const auto& rows = table[i].*Rows;
    ClauseRows& clause = clauses[i];
    clause.end = std::size(rows);
    while (clause.end > 0 && IsBlank(rows[clause.end - 1])) --clause.end;
    clause.end = std::min(clause.end, rowLimit);  // the rows beyond are named by the check
    for (size_t n = 0; n < clause.end; ++n) {
      if (!IsBlank(rows[n])) {
        if (!filler) filler = &rows[n];
        continue;
      }
      clause.blanks.push_back(n);
    }
    // An end blanks its row; one that closes its rows blanks the next as
    // well, which must then be blank: a run of blank rows a..b is made by
    // ends at a, a + 2, ... and at b - 1 where those leave b.
    const std::vector<size_t>& blanks = clause.blanks;
    for (size_t j = 0; j < blanks.size(); ++j) {
      size_t a = blanks[j], b = a;
      while (j + 1 < blanks.size() && blanks[j + 1] == b + 1) ++j, ++b;
      if (!closesRows) {
        for (size_t e = a; e <= b; ++e) clause.ends.push_back(e);
        continue;
      }
      size_t e = a;
      for (; e < b; e += 2) clause.ends.push_back(e);
      if (e == b) clause.ends.push_back(a == b ? a : b - 1);
    }
    sections = std::max(sections, clause.ends.size() + 1);
  }
  s.text.clear();
  for (size_t t = 0; t < sections; ++t) {
    s.text += std::string(t ? "\n" : "") + std::string(s.entry->keyword) + " {\n";
    for (size_t i = 0; i < count; ++i) {
      bool always =
          s.entry->alwaysFirst && i == 0 && w.Peek(table[i].condition) == kAlwaysCondition;
      s.text +=
          ClauseLine(always ? std::nullopt : std::optional(w.Condition(table[i].condition, s))) +
          "\n";
      if (always) w.Text(table[i].condition, s);
      // A clause with k ends inside its rows is written whole until the last
      // k sections, which end it there, the last end first.
      const ClauseRows& clause = clauses[i];
      size_t whole = sections - 1 - clause.ends.size();
      size_t end = t <= whole ? clause.end : clause.ends[clause.ends.size() - (t - whole)];
      for (size_t n = 0; n < end; ++n) {
        bool blank = std::binary_search(clause.blanks.begin(), clause.blanks.end(), n);
        const Row& row = blank ? *filler : (table[i].*Rows)[n];
        s.text += (n ? ",\n" : "") + line(row);
      }
      s.text += "\n";
    }
    s.text += "}\n";
  }
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const PinNumberCondition (&table)[N],
                const PinNumberCondition (&empty)[N]) {
  WriteClauseRows<&PinNumberCondition::rows>(w, s, table, empty, [&](const PinNumberRow& row) {
    std::string line = "    " + w.Word(row.package, s) + " : " + std::to_string(row.pinNumber);
    if (row.reserved == 1 && row.name == 0) {
      line += " : RSV";
    } else if (row.name != 0 && row.reserved == 0) {
      line += " : " + w.Quote(row.name, s);
    }
    // A row with both a name and RSV, or another reserved
    // value, is named by the check.
    return line;
  });
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const AliasCondition (&table)[N],
                const AliasCondition (&empty)[N]) {
  WriteClauseRows<&AliasCondition::rows>(w, s, table, empty, [&](const AliasRow& row) {
    return "    " + w.Word(row.alias, s) + " : " + w.Quote(row.target, s);
  });
}

// The row a new Initialize pin starts with: no signal, changeable, not reserved.
constexpr InitializeRow kInitializeDefaults{0, 0, 1, 0, 0, 0};

// The lines of one Initialize row, in an order that leaves its flags as
// stored: `name` sets reserved to its RSV mark and `reserve` sets it to 1, so
// an unreserved row with a reserved name writes `reserve` before `name`.
std::string InitializeLines(Writer& w, Section& s, const InitializeRow& row) {
  std::string_view pinText = w.Text(row.pin, s);
  // The pin is the target's text up to its first dot.
  std::string pin = row.pin == 0                                  ? ""
                    : pinText.find('.') == std::string_view::npos ? w.WordText(pinText)
                                                                  : w.Written({});
  // The lines, each with the pool offset of its value: they are written in
  // that order, which is the order in which a source added the values.
  std::vector<std::pair<StringRef, std::string>> lines;
  auto line = [&](PinAttribute attribute, StringRef value, const std::string& text,
                  const char* mark = "") {
    lines.emplace_back(value == 0 ? INT32_MAX : value,
                       "    " + pin + "." + std::string(PinAttributeName(attribute)) + " = " +
                           text + mark + " ;\n");
  };
  if (row.reserved != 0 && row.reserved != 1) w.Written(std::nullopt);
  bool reserveFirst = row.reserved == 0 && row.reservedName != 0;
  if (row.reservedName != 0)
    line(PinAttribute::kReservedName, row.reservedName, w.Quote(row.reservedName, s));
  if (row.signal != 0 || row.reservedName != 0 || row.reserved == 1) {
    bool mark = row.reserved == 1 && (row.signal != 0 || row.reservedName == 0);
    if (row.reserved == 0 || mark) {
      line(PinAttribute::kSignal, row.signal, w.Quote(row.signal, s), mark ? " : RSV" : "");
    }
  }
  if (row.displayName != 0)
    line(PinAttribute::kDisplayName, row.displayName, w.Quote(row.displayName, s));
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // `name` sets reserved to its RSV mark: an unreserved row with a reserved
  // name writes `reserve` before `name`.
  auto find = [&](const char* attribute) {
    return std::find_if(lines.begin(), lines.end(), [&](const auto& l) {
      return l.second.find(attribute) != std::string::npos;
    });
  };
  auto name = find(".name = "), reserve = find(".reserve = ");
  if (reserveFirst && name < reserve && reserve != lines.end()) {
    std::rotate(name, name + 1, reserve + 1);
  }
  std::string text;
  for (const auto& l : lines) text += l.second;
  if (row.changeable < 0) w.Written(std::nullopt);  // only leading digits set it
  if (row.changeable != 1 || text.empty()) {
    text += "    " + pin + ".nchange = " + std::to_string(row.changeable) + " ;\n";
  }
  return text;
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const InitializeCondition (&table)[N],
                const InitializeCondition (&empty)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  for (size_t i = 0, count = EntryCount(table, empty); i < count; ++i) {
    s.text += ClauseLine(w.Condition(table[i].condition, s)) + "\n";
    const InitializeCondition& entry = table[i];
    const auto& rows = entry.rows;
    size_t n = 0;
    while (n < std::size(rows) && rows[n].pin != 0) ++n;
    // The rows a longer clause read earlier left after the end of this one
    // are written first, after as many rows of new pins as the later clause
    // overwrites.
    size_t from = 0, longest = std::size(rows);
    while (longest > n && IsBlank(rows[longest - 1])) --longest;
    // A row of defaults without a pin is where the longer clause ended.
    if (longest > n && rows[longest - 1].pin == 0) --longest;
    bool leftovers = w.Leftovers() && longest > n;
    // Lines of an empty pin name act on the first row without a pin, where
    // readers end the rows: the row keeps what they set. They come last, as
    // a new pin would take that row.
    bool emptyPin = !leftovers && n < std::size(rows) &&
                    std::memcmp(&rows[n], &kInitializeDefaults, sizeof(InitializeRow)) != 0;
    if (leftovers) {
      for (size_t k = 0, tried = 0; k <= n; ++tried) {
        std::string pin = "QZ" + std::to_string(tried);
        bool taken = std::any_of(std::begin(rows), std::end(rows), [&](const InitializeRow& row) {
          return EqualsNoCase(w.Peek(row.pin), pin);
        });
        if (!taken) s.text += "    " + pin + ".nchange = 1 ;\n", ++k;
      }
      from = n + 1;
      n = longest;
    }
    for (size_t r = from; r < n; ++r) {
      // Pins compare without regard to case: a second row of the same pin
      // would be read into the first.
      std::string_view pin = w.Text(rows[r].pin, s);
      if (rows[r].pin == 0) w.Written(std::nullopt);
      for (size_t k = from; k < r; ++k) {
        if (EqualsNoCase(w.Peek(rows[k].pin), pin)) w.Written(std::nullopt);
      }
      s.text += InitializeLines(w, s, rows[r]);
    }
    if (emptyPin) s.text += InitializeLines(w, s, rows[n]);
    // A block holds at least one line; a target without a dot sets nothing.
    if (n == 0 && !emptyPin) s.text += "    none = 0 ;\n";
  }
  s.text += "}\n";
}

// A token as written where a keyword or `}` would end the list it stands in.
std::string NonKeyword(Writer& w, StringRef ref, Section& s) {
  // A word that opens a line with '#' would be read as a directive.
  std::string_view text = w.Text(ref, s);
  if (IsBodyKeyword(text) || text.starts_with('#') || text == "}") w.Written(std::nullopt);
  return w.Token(ref, s);
}

// The words of a statement text: each is followed by the byte 0x01.
// A text whose last word lacks its end byte comes back with it.
std::vector<std::string_view> StatementWords(Writer& w, std::string_view text) {
  if (!text.empty() && text.back() != kStatementWordEnd) w.Written(std::nullopt);
  return StatementTextWords(text);
}

// The words a statement block starts with, up to its first statement keyword:
// plain words as they are, every other token as a quoted string.
// Where `bareFirst`, the first word follows a keyed statement, which would
// take a quoted string as its line: it is written as a token that is not one,
// with an apostrophe after it where the reader would cut it or take it for a
// keyword (the reader cuts a word at its last apostrophe).
std::string AlwaysWords(Writer& w, std::string_view text, bool bareFirst = false) {
  std::string line;
  for (std::string_view word : StatementWords(w, text)) {
    if (bareFirst) {
      bareFirst = false;
      bool delimiter = word.size() == 1 && IsDelimiter(word[0]) && word != "}";
      bool plain = AsWritten(word) == word && !word.starts_with('#');
      bool cut = word.find('\'') != std::string_view::npos || IsBodyKeyword(word) || word == "}";
      bool bare = delimiter || (plain && !word.empty()) ||
                  (cut && !word.empty() && word[0] != '\'' && AsWritten(std::string(word) + "'"));
      if (!bare || word.size() + 1 > kLongestWord) w.Written(std::nullopt);
      line += " " + std::string(word) + (!delimiter && cut ? "'" : "");
      continue;
    }
    auto plain = AsWritten(word);
    // The reader cuts an unquoted word at its last apostrophe.
    bool asWord = plain && word.find('\'') == std::string_view::npos && !plain->starts_with('#') &&
                  !IsBodyKeyword(word);
    line += " " + (asWord ? *plain : w.QuotedText(word));
  }
  return line;
}

constexpr std::string_view kStatementEnd = kStatementEndKind;

// Statements `first`.. of `list` as `Keyword [, rev] : 'line' ...` lines, each
// of the `keywords` at most once and in their order, then the `ZZZ` slot that
// ends the list. A list without statements stays as the file's zeros when
// `untouchedWhenEmpty`.
std::string Statements(Writer& w, Section& s, const StatementList& list, size_t first,
                       std::span<const StatementKind> keywords, bool untouchedWhenEmpty,
                       const char* indent) {
  if (untouchedWhenEmpty && list.slots[0].kind == 0) return {};
  size_t count = first;
  while (count < std::size(list.slots) && w.Peek(list.slots[count].kind) != kStatementEnd) ++count;
  // The ends that earlier, longer lists left after this one's: each slot of
  // an end after it, and the end of the slots where the longest list filled
  // them all.
  std::vector<size_t> ends;
  size_t last = std::size(list.slots);
  while (last > count && list.slots[last - 1].kind == 0) --last;
  for (size_t i = count + 1; i < last; ++i) {
    if (w.Peek(list.slots[i].kind) == kStatementEnd) ends.push_back(i);
  }
  if (last > count + 1 && w.Peek(list.slots[last - 1].kind) != kStatementEnd) ends.push_back(last);
  // The slots that a later list overwrites, up to and with its end.
  size_t overwritten = first;
  if (size_t k = w.EndAt(ends.size()); k > 0) {
    overwritten = k >= 2 ? ends[k - 2] + 1 : count + 1;
    count = ends[k - 1];
  }
  std::string text;
  size_t next = 0;  // the first keyword the next statement may use
  for (size_t i = first; i < count; ++i) {
    const StatementSlot& slot = list.slots[i];
    if ((i < overwritten || w.Peek(slot.kind) == kStatementEnd) && next < keywords.size()) {
      // What a shorter list read later overwrites, or its end: any statement
      // that keeps the order stands here first.
      text += indent + std::string(keywords[next++].typeName) + " :\n";
      continue;
    }
    std::string_view kind = w.Text(slot.kind, s);
    while (next < keywords.size() && kind != keywords[next].typeName) ++next;
    if (next == keywords.size()) {
      w.Written(std::nullopt);
      break;
    }
    text += indent + std::string(keywords[next++].typeName);
    std::vector<std::string_view> words = StatementWords(w, w.Text(slot.text, s));
    size_t from = 0;
    if (!words.empty() && words[0] == kReverseMark) {
      text += " , rev";
      from = 1;
    }
    text += " :";
    for (size_t k = from; k < words.size(); ++k) text += " " + w.QuotedText(words[k]);
    text += "\n";
  }
  return text;
}

// The keyed statements of a prolog or epilog block: those after its words.
std::span<const StatementKind> PrologKeywords() {
  return StatementKindsOf(StatementFamily::kPrologEpilog).subspan(1);
}

// The position among the prolog keywords of the first and the last keyed
// statement of a block; -1 when it has none.
int KeywordOf(Writer& w, const StatementSlot& slot) {
  std::string_view kind = w.Peek(slot.kind);
  std::span<const StatementKind> keywords = PrologKeywords();
  for (size_t k = 0; k < keywords.size(); ++k) {
    if (kind == keywords[k].typeName) return int(k);
  }
  return -1;
}
int FirstKeyword(Writer& w, const StatementList& list) { return KeywordOf(w, list.slots[1]); }
int LastKeyword(Writer& w, const StatementList& list) {
  int last = -1;
  for (size_t i = 1; i < std::size(list.slots); ++i) {
    int k = KeywordOf(w, list.slots[i]);
    if (k < 0) break;
    last = k;
  }
  return last;
}

// A statement block of a prolog or epilog entry: its Always words, then its
// keyed statements.
std::string PrologBlock(Writer& w, Section& s, const PrologEpilogEntry& entry,
                        bool bareFirst = false) {
  // Reading an entry adds its condition, then the kind of the slot that ends
  // its list, then its statements.
  w.Text(entry.condition, s);
  const auto& slots = entry.statements.slots;
  size_t end = 0;
  while (end < std::size(slots) && w.Peek(slots[end].kind) != kStatementEnd) ++end;
  if (end < std::size(slots)) w.Text(slots[end].kind, s);
  const StatementSlot& always = slots[0];
  if (w.Text(always.kind, s) != kAlwaysStatementType) w.Written(std::nullopt);
  std::string text = AlwaysWords(w, w.Text(always.text, s), bareFirst);
  text += "\n" + Statements(w, s, entry.statements, 1, PrologKeywords(), false, "    ");
  return text;
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const PrologEpilogEntry (&table)[N],
                const PrologEpilogEntry (&empty)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  size_t count = EntryCount(table, empty);
  auto always = [&](size_t i) { return w.Peek(table[i].condition) == kAlwaysCondition; };
  // An entry after the closing entry under "1" whose condition is empty: a
  // later section without When blocks cleared its condition, and the rest of
  // it is what a longer section read earlier left. That section is written
  // first, of When blocks (the conditions the later one overwrites or clears
  // written as `DEV`).
  // Entries after it are what that section left too, with their conditions,
  // where the closing entry is not the first: a single section writes an
  // Always block followed by an empty condition as `When :`.
  size_t cleared = 1;
  while (cleared < count && !(table[cleared].condition == 0 && always(cleared - 1) &&
                              (cleared + 1 == count || cleared >= 2))) {
    ++cleared;
  }
  if (cleared < count) {
    if (w.Leftovers()) {
      for (size_t i = 0; i < count; ++i) {
        w.WriteFrom(i >= cleared ? 1 : 0);
        s.text += ClauseLine(i > cleared ? w.Condition(table[i].condition, s) : "DEV");
        s.text += PrologBlock(w, s, table[i]);
        w.WriteFrom(0);
      }
      s.text += "}\n";
      return;
    }
    count = cleared;
  }
  // Without When blocks, the section ends with an entry under "1" that holds
  // the words after the Always block: all of the body when there is none.
  bool sawWhen = count > 0 && !always(count - 1);
  if (count == 0) {
    // The file holds no entry: the section is not written.
  } else if (count == 1 && !sawWhen) {
    s.text += "  " + PrologBlock(w, s, table[0]).substr(1);
  } else {
    size_t last = sawWhen ? count : count - 1;
    for (size_t i = 0; i < last; ++i) {
      bool first = i == 0 && always(0);
      s.text +=
          ClauseLine(first ? std::nullopt : std::optional(w.Condition(table[i].condition, s)));
      s.text += PrologBlock(w, s, table[i]);
    }
    if (count == 2 && !sawWhen) {
      // The block read after `Always :` ...: where it has no words,
      // statements only from a keyword the Always block could no longer read;
      // words only after a keyed statement of the Always block (which would
      // read them otherwise), the first not a quoted string.
      int lastOfAlways = LastKeyword(w, table[0].statements);
      bool words = w.Peek(table[1].statements.slots[0].text).size() > 0;
      std::string end = PrologBlock(w, s, table[1], words);
      int firstAfter = FirstKeyword(w, table[1].statements);
      if (words ? lastOfAlways < 0 : firstAfter >= 0 && firstAfter > lastOfAlways) {
        w.Written(std::nullopt);
      }
      s.text += words ? "   " + end : end.substr(1);
    } else if (!sawWhen) {
      w.Written(std::nullopt);
    }
  }
  s.text += "}\n";
}

// The members a group is written with: those before its first blank one
// or, while leftovers are written, also those a longer member list read
// earlier left after it, the members a later list overwrites written as the
// first member again, with the alternatives the leftovers need.
std::vector<GroupMember> GroupMembers(Writer& w, const GroupRecord& group) {
  const auto& all = group.members;
  size_t count = 0;
  while (count < std::size(all) && all[count].item != 0) ++count;
  // The ends that earlier, longer member lists left after this one's: each
  // blank member after it, and the end of the table where one filled it.
  size_t longest = std::size(all);
  while (longest > count && IsBlank(all[longest - 1])) --longest;
  std::vector<size_t> ends;
  for (size_t n = count + 1; n < longest; ++n) {
    if (IsBlank(all[n])) ends.push_back(n);
  }
  if (longest > count + 1) ends.push_back(longest);
  size_t k = count == 0 ? 0 : w.EndAt(ends.size());
  if (k == 0) return {std::begin(all), std::begin(all) + count};
  // The members up to and with the end a later list writes are overwritten:
  // they are written as the first member again. A member's alternative is
  // the one before it or one more: they climb to what the first leftover
  // needs.
  size_t from = k >= 2 ? ends[k - 2] : count, end = ends[k - 1];
  int32_t next = all[from + 1].alternative;
  int32_t target = next > int32_t(from) ? next - 1 : next;
  if (target > int32_t(from)) w.Written(std::nullopt);
  std::vector<GroupMember> members;
  for (size_t n = 0; n <= from; ++n) {
    members.push_back({all[0].item, all[0].value, std::max(0, target - int32_t(from - n))});
  }
  members.insert(members.end(), std::begin(all) + from + 1, std::begin(all) + end);
  return members;
}

// The records of a list written at a layer: up to `end`, where `ends` are
// the ends after the list's own that earlier, longer lists left (a record
// that a later list cleared), and the last record written, as with the ends
// of a statement list.
struct RecordLayers {
  size_t end = 0;
  std::vector<size_t> ends;  // the list's own end first
  // The lowest layer that writes record `r`: the one of the first end after it.
  size_t BaseOf(size_t r) const {
    return size_t(std::upper_bound(ends.begin(), ends.end(), r) - ends.begin());
  }
};
template <typename Record, typename Cleared>
RecordLayers LayersOf(const Writer& w, size_t count,
                      std::span<const Record, std::dynamic_extent> records, Cleared&& cleared) {
  RecordLayers layers;
  layers.ends.push_back(count);
  size_t longest = records.size();
  while (longest > count && IsBlank(records[longest - 1])) --longest;
  for (size_t r = count + 1; r < longest; ++r) {
    if (cleared(records[r])) layers.ends.push_back(r);
  }
  if (longest > count) layers.ends.push_back(longest);
  layers.end = layers.ends[std::min(w.Layer(), layers.ends.size() - 1)];
  return layers;
}

// A group: `name : ['text' :] { item : value, ... | ... }` and its statements.
// The first group of a block takes whatever token stands there as its name;
// after a group, `When`, a statement keyword or `}` would end it.
std::string GroupText(Writer& w, Section& s, const GroupRecord& group, bool first,
                      const char* clearedName = nullptr) {
  std::string name = clearedName ? clearedName
                     : first     ? w.Token(group.name, s)
                                 : NonKeyword(w, group.name, s);
  std::string text = "    " + name + " :";
  if (group.text != 0) text += " " + w.Quote(group.text, s) + " :";
  text += " {";
  std::vector<GroupMember> members = GroupMembers(w, group);
  for (size_t n = 0; n < members.size(); ++n) {
    const GroupMember& member = members[n];
    // Each member stores the number of `|` before it.
    int32_t before = n == 0 ? 0 : members[n - 1].alternative;
    if (member.alternative != before && member.alternative != before + 1) {
      w.Written(std::nullopt);
    }
    // Items and values are any token, as a separator is written between two
    // members; only the first item may be `}`, which ends the members.
    if (n > 0) text += member.alternative != before ? " |" : ",";
    if (n > 0 && w.Peek(member.item) == "}") w.Written(std::nullopt);
    text += " " + w.Token(member.item, s) + " : " + w.Token(member.value, s);
  }
  if (members.empty()) w.Written(std::nullopt);  // a group has at least one member
  text += " }\n";
  return text + Statements(w, s, group.statements, 0, StatementKindsOf(StatementFamily::kGroup),
                           true, "      ");
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const GroupCondition (&table)[N],
                const GroupCondition (&empty)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  for (size_t i = 0, count = EntryCount(table, empty); i < count; ++i) {
    bool always = i == 0 && w.Text(table[i].condition, s) == kAlwaysCondition;
    s.text +=
        ClauseLine(always ? std::nullopt : std::optional(w.Condition(table[i].condition, s))) +
        "\n";
    const auto& groups = table[i].groups;
    size_t n = 0;
    while (n < std::size(groups) && groups[n].name != 0) ++n;
    if (n == 0) w.Written(std::nullopt);  // a block holds at least one group
    // A later block clears the name of the group after its last one, and
    // no more: the groups a longer block read earlier left there are written
    // first, those a later one clears under the name QZ.
    RecordLayers layers = LayersOf(w, n, std::span<const GroupRecord>(groups),
                                   [](const GroupRecord& g) { return g.name == 0; });
    // A text clears the one of the next group: where the group after the
    // last keeps a text, the group before it is written without one, and its
    // text comes from the earlier block, so the one before that is written
    // without its text too where it has one, and so on.
    std::vector<bool> textFromEarlier(layers.end);
    bool keep = layers.end < std::size(groups) && groups[layers.end].text != 0;
    for (size_t g = layers.end; g-- > 0 && keep;) {
      textFromEarlier[g] = true;
      keep = groups[g].text != 0;
    }
    for (size_t g = 0; g < layers.end; ++g) {
      GroupRecord group = groups[g];
      bool cleared = group.name == 0;
      if (textFromEarlier[g]) group.text = 0;
      w.WriteFrom(layers.BaseOf(g));
      s.text += GroupText(w, s, group, g == 0, cleared ? "QZ" : nullptr);
      w.WriteFrom(0);
    }
  }
  s.text += "}\n";
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const OutputSyntaxRecord (&table)[N],
                const OutputSyntaxRecord (&)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  size_t n = 0;
  while (n < N && table[n].name != 0) ++n;
  // A later block clears the name of the record after its last one, and no
  // more: the records a longer block read earlier left there are written
  // first, those a later one clears under the name QZ.
  RecordLayers layers = LayersOf(w, n, std::span<const OutputSyntaxRecord>(table),
                                 [](const OutputSyntaxRecord& r) { return r.name == 0; });
  for (size_t i = 0; i < layers.end; ++i) {
    bool cleared = table[i].name == 0;
    // A name is whatever token starts a record, but `}` ends the section.
    if (!cleared && w.Peek(table[i].name) == "}") w.Written(std::nullopt);
    s.text += "  " + (cleared ? std::string("QZ") : w.Token(table[i].name, s)) + " : {\n";
    w.WriteFrom(layers.BaseOf(i));
    s.text += Statements(w, s, table[i].statements, 0,
                         StatementKindsOf(StatementFamily::kOutputSyntax), true, "    ");
    w.WriteFrom(0);
    s.text += "  }\n";
  }
  s.text += "}\n";
}

// A Pin category list: `Category : selection, ...` lines. Each category must
// name an entry of the file's TypeCategory table, which the source writes
// before the Pin section.
std::string PinCategories(Writer& w, Section& s, const PinCondition& branch, const char* indent) {
  // While leftovers are written, the categories and selections a longer
  // list left after a cleared one are written too: a cleared category under
  // the first declared name, a cleared selection as QZ.
  const auto& categories = branch.categories;
  size_t count = 0;
  while (count < std::size(categories) && categories[count].name != 0) ++count;
  if (w.Leftovers()) {
    size_t longest = std::size(categories);
    while (longest > count && IsBlank(categories[longest - 1])) --longest;
    count = longest;
  }
  std::string text;
  for (size_t c = 0; c < count; ++c) {
    const PinCategory& category = categories[c];
    StringRef nameRef = category.name != 0 ? category.name : w.Block().typeCategories[0].name;
    std::string_view name = w.Text(nameRef, s);
    bool known = false;
    for (const TypeCategory& declared : w.Block().typeCategories) {
      if (declared.name == 0) break;
      known = known || EqualsNoCase(w.Peek(declared.name), name);
    }
    if (!known || EqualsNoCase(name, kIfWord) || EqualsNoCase(name, kElseWord))
      w.Written(std::nullopt);
    text += indent + w.Word(nameRef, s) + " :";
    size_t n = 0, selections = std::size(category.selections);
    if (w.Leftovers()) {
      while (selections > 0 && category.selections[selections - 1] == 0) --selections;
    } else {
      while (n < selections && category.selections[n] != 0) ++n;
      selections = n;
    }
    for (n = 0; n < selections; ++n) {
      StringRef selection = category.selections[n];
      text += (n ? ", " : " ") + (selection == 0 ? std::string("QZ") : w.Word(selection, s));
    }
    if (n == 0) w.Written(std::nullopt);  // a category lists at least one selection
    text += "\n";
  }
  return text;
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const PinGroup (&table)[N], const PinGroup (&)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  // A name clears the next name of its group, and the first name of the next
  // group: the names and groups a longer section read earlier left after
  // them are written first, the names a later section clears as QZ.
  size_t count = 0;
  while (count < N && table[count].names[0] != 0) ++count;
  size_t longest = w.Leftovers() ? N : count;
  while (longest > count && IsBlank(table[longest - 1])) --longest;
  for (size_t g = 0; g < longest; ++g) {
    const PinGroup& group = table[g];
    size_t names = std::size(group.names);
    if (w.Leftovers()) {
      while (names > 1 && group.names[names - 1] == 0) --names;
    } else {
      names = 0;
      while (names < std::size(group.names) && group.names[names] != 0) ++names;
    }
    s.text += " ";
    for (size_t n = 0; n < names; ++n) {
      s.text += " " + (group.names[n] == 0 ? std::string("QZ") : w.Word(group.names[n], s)) + " :";
    }
    s.text += " {\n";
    // A branch stored under the empty condition (`if` before a word that
    // starts no condition) holds categories; the end of the branches does not.
    size_t count = 0;
    while (count < std::size(group.conditions) &&
           (group.conditions[count].condition != 0 ||
            group.conditions[count].categories[0].name != 0)) {
      ++count;
    }
    for (size_t c = 0; c < count; ++c) {
      const PinCondition& branch = group.conditions[c];
      // A body without `if` is stored under "1", an `else` branch under "else".
      std::string_view condition = w.Text(branch.condition, s);
      const char* indent = "      ";
      if (c == 0 && condition == kAlwaysCondition) {
        if (count != 1) w.Written(std::nullopt);
        indent = "    ";
      } else if (condition == kElseWord) {
        if (c == 0) w.Written(std::nullopt);
        s.text += "    " + std::string(kElseWord) + "\n";
      } else {
        std::string words = w.Condition(branch.condition, s);
        s.text +=
            "    " +
            (c == 0 ? std::string(kIfWord) : std::string(kElseWord) + " " + std::string(kIfWord)) +
            (words.empty() ? "" : " ") + words + "\n";
      }
      s.text += PinCategories(w, s, branch, indent);
    }
    s.text += "  }\n";
  }
  s.text += "}\n";
}

// `text` when it is at most `limit` bytes long, as the reader checks a token
// or a stored text; else a note that the table cannot be written.
std::string Limited(Writer& w, std::string text, size_t limit) {
  return text.size() <= limit ? text : w.Written(std::nullopt);
}

// A text the reader stores without its quotes, as a token of at most `limit`
// bytes: quoted, or as a plain word when only that fits (a word holding no
// apostrophe, which the reader would cut the text at).
std::string Unquoted(Writer& w, Section& s, StringRef ref, size_t limit) {
  std::string quoted = w.Quote(ref, s);
  std::string_view text = w.Text(ref, s);
  if (quoted.size() <= limit) return quoted;
  auto plain = AsWritten(text);
  bool fits = plain && *plain == text && text.find('\'') == std::string_view::npos;
  return Limited(w, fits ? *plain : quoted, limit);
}

// A header value stored without its quotes.
std::string MapText(Writer& w, Section& s, StringRef ref, size_t storedLimit) {
  Limited(w, std::string(w.Text(ref, s)), storedLimit);
  return Unquoted(w, s, ref, text_limit::kMapToken);
}

// A field stored as written: a word, or a punctuation mark that the reader
// takes as a word where a field stands.
std::string MapWord(Writer& w, Section& s, StringRef ref) {
  std::string_view text = w.Text(ref, s);
  if (text.size() == 1 && std::string_view("-+*?|=").find(text[0]) != std::string_view::npos) {
    return std::string(text);
  }
  return w.Word(ref, s);
}

// The description, which the reader joins from strings separated by commas:
// written in pieces that each fit a token.
std::string MapDescription(Writer& w, Section& s, StringRef ref) {
  std::string_view text = w.Text(ref, s);
  Limited(w, std::string(text), text_limit::kMapDescription);
  std::string pieces;
  do {
    // Quoted, with every byte escaped at worst, a piece fits a token.
    size_t take = std::min(text.size(), size_t(text_limit::kMapToken - 2) / 2);
    pieces += (pieces.empty() ? "" : ", ") + w.QuotedText(text.substr(0, take));
    text.remove_prefix(take);
  } while (!text.empty());
  return pieces;
}

// A map: its header and its ranges. While leftovers are written, a map also
// gets the ranges a longer map read earlier left after its last one, the
// ranges a later map overwrites written as its first range again; a map that
// a later block cleared (only its header is cleared) is written with a header
// that the clearing replaces.
std::string MemoryMapText(Writer& w, Section& s, const MemoryMap& map) {
  bool cleared = map.number <= 0;
  std::string text = "  {\n    Number : " + std::to_string(cleared ? 1 : map.number) + "\n";
  if (cleared) {
    text += "    Title : ''\n    Description : ''\n    Main : ''\n    Secondary : ''\n";
  } else {
    text += "    Title : " + MapText(w, s, map.title, text_limit::kMapTitle) + "\n";
    text += "    Description : " + MapDescription(w, s, map.description) + "\n";
    text += "    Main : " + MapText(w, s, map.mainFlash, text_limit::kMapFlashSpace) + "\n";
    text +=
        "    Secondary : " + MapText(w, s, map.secondaryFlash, text_limit::kMapFlashSpace) + "\n";
  }
  const auto& entries = map.entries;
  size_t count = 0;
  while (count < std::size(entries) && entries[count].fields[0] != 0) ++count;
  size_t longest = std::size(entries);
  while (longest > count && IsBlank(entries[longest - 1])) --longest;
  std::vector<const MemoryMapEntry*> written;
  for (size_t n = 0; n < count; ++n) written.push_back(&entries[n]);
  if (w.Leftovers() && longest > count) {
    if (!cleared) written.push_back(count > 0 ? &entries[0] : &entries[count + 1]);
    for (size_t n = cleared ? count : count + 1; n < longest; ++n) {
      if (IsBlank(entries[n])) w.Written(std::nullopt);
      written.push_back(&entries[n]);
    }
  }
  size_t n = written.size();
  for (const MemoryMapEntry* range : written) {
    const MemoryMapEntry& entry = *range;
    // Fields 3 and 8 are stored without their quotes, the others as written.
    std::string line = "   ";
    for (size_t f = 0; f < 7; ++f) {
      std::string field = f == 2 ? Unquoted(w, s, entry.fields[f], text_limit::kMapToken)
                                 : MapWord(w, s, entry.fields[f]);
      if (f != 2 || w.Text(entry.fields[f], s).size() > size_t(text_limit::kMapEntryField)) {
        Limited(w, f == 2 ? std::string(w.Text(entry.fields[f], s)) : field,
                text_limit::kMapEntryField);
      }
      line += (f ? " : " : " ") + field;
    }
    // A range of seven fields stores `-` as its eighth.
    if (w.Text(entry.fields[7], s) != "-") {
      line += " : " + Unquoted(w, s, entry.fields[7], text_limit::kMapLastField);
      Limited(w, std::string(w.Text(entry.fields[7], s)), text_limit::kMapLastField);
    }
    text += line + "\n";
  }
  if (n == 0) w.Written(std::nullopt);  // a map has at least one range
  return text + "  }";
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const MemoryMapCondition (&table)[N],
                const MemoryMapCondition (&empty)[N]) {
  s.text = std::string(s.entry->keyword) + " {\n";
  // The last record and the last map of each are never filled by a source.
  size_t records = size_t(s.entry->capacities[0].Usable());
  size_t mapsPerRecord = size_t(s.entry->capacities[1].Usable());
  for (size_t i = 0, count = EntryCount(table, empty); i < count; ++i) {
    if (i >= records) w.Written(std::nullopt);
    bool always = i == 0 && w.Text(table[i].condition, s) == kAlwaysCondition;
    s.text +=
        ClauseLine(always ? std::nullopt : std::optional(w.Condition(table[i].condition, s))) +
        "\n";
    const auto& maps = table[i].maps;
    size_t n = 0;
    while (n < std::size(maps) && maps[n].number > 0) ++n;
    if (n == 0) w.Written(std::nullopt);  // a block holds at least one map
    size_t longest = std::size(maps);
    while (longest > n && IsBlank(maps[longest - 1].entries[0])) --longest;
    if (!w.Leftovers()) longest = n;
    for (size_t m = 0; m < longest; ++m) {
      if (m >= mapsPerRecord) w.Written(std::nullopt);
      s.text += (m ? ",\n" : "") + MemoryMapText(w, s, maps[m]);
    }
    s.text += "\n";
  }
  s.text += "}\n";
}

// The entries of a list: `line` writes one. The compiler clears the entry
// after each one it writes, as it clears the second entry of a source without
// the section.
template <typename Entry, size_t N, typename Line>
void WriteList(Section& s, const Entry (&table)[N], const Entry (&empty)[N], Line&& line) {
  const Entry& cleared = empty[1];
  size_t count = EntryCount(table, empty);
  if (count > 0 && std::memcmp(&table[count - 1], &cleared, sizeof(Entry)) == 0) --count;
  // A cleared entry inside the list is what a shorter section left when it
  // was read after a longer one: the section is written again for each, the
  // longest first, with the entries it clears later filled by another one.
  std::vector<size_t> holes;
  size_t filler = count;
  for (size_t i = 0; i < count; ++i) {
    // No shorter section ends before the first entry: a cleared first entry
    // is written as it stands (`'' : ''`, where a source can give it).
    if (i > 0 && std::memcmp(&table[i], &cleared, sizeof(Entry)) == 0) {
      holes.push_back(i);
    } else {
      filler = std::min(filler, i);
    }
  }
  auto section = [&](size_t end) {
    s.text += std::string(s.text.empty() ? "" : "\n") + std::string(s.entry->keyword) + " {\n";
    for (size_t i = 0; i < end; ++i) {
      bool hole = std::binary_search(holes.begin(), holes.end(), i);
      const Entry& entry = hole ? table[filler] : table[i];
      s.text += "  " + line(entry) + "\n";
    }
    s.text += "}\n";
  };
  s.text.clear();
  section(count);
  for (size_t j = holes.size(); j-- > 0;) section(holes[j]);
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const Extension (&table)[N], const Extension (&empty)[N]) {
  WriteList(s, table, empty,
            [&](const Extension& e) { return w.Quote(e.first, s) + " : " + w.Quote(e.second, s); });
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const TypeCategory (&table)[N],
                const TypeCategory (&empty)[N]) {
  WriteList(s, table, empty,
            [&](const TypeCategory& e) { return w.Word(e.name, s) + " = " + w.Quote(e.value, s); });
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const TypeShortHand (&table)[N],
                const TypeShortHand (&empty)[N]) {
  WriteList(s, table, empty, [&](const TypeShortHand& e) {
    std::string line = std::to_string(e.code) + " : " + w.Word(e.name, s);
    if (e.qualifiers != 0) {
      // The qualifiers are stored joined by commas; each is a word again.
      std::string_view joined = w.Text(e.qualifiers, s);
      std::string words;
      for (size_t at = 0; at <= joined.size();) {
        size_t comma = std::min(joined.find(',', at), joined.size());
        std::string word(joined.substr(at, comma - at));
        words += (words.empty() ? "" : ", ") + w.WordText(word);
        at = comma + 1;
      }
      line += " : " + words;
    }
    if (e.code < 0) w.Written(std::nullopt);
    return line + " = " + w.Quote(e.value, s);
  });
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const TypeConversionRow (&table)[N],
                const TypeConversionRow (&empty)[N]) {
  WriteList(s, table, empty, [&](const TypeConversionRow& e) {
    // Each word is the token that stands there; only `}` cannot start a row.
    if (w.Peek(e.first) == "}") w.Written(std::nullopt);
    std::string line = w.Token(e.first, s) + " : " + w.Token(e.second, s);
    if (e.third != 0) line += " : " + w.Token(e.third, s);
    return line + " ;";
  });
}

template <size_t N>
void WriteTable(Writer& w, Section& s, const NumberedRow (&table)[N],
                const NumberedRow (&empty)[N]) {
  WriteList(s, table, empty, [&](const NumberedRow& e) {
    if (e.number < 0) w.Written(std::nullopt);
    return std::to_string(e.number) + " : " + w.Quote(e.text, s);
  });
}

template <int Items, size_t N>
void WriteTable(Writer& w, Section& s, const ConditionalRecord<Items> (&table)[N],
                const ConditionalRecord<Items> (&empty)[N]) {
  WriteClauseRows<&ConditionalRecord<Items>::items>(
      w, s, table, empty, [&](StringRef item) { return "    " + w.Word(item, s); });
}

// The block of a source without sections, as the compiler stores it: what a
// table holds that no section filled.
std::unique_ptr<const TableBlock> EmptySourceBlock() {
  auto block = std::make_unique<TableBlock>();
  CompileResult compiled = Compile({"empty.daf", "Device empty\n"});
  if (compiled.artifact && compiled.artifact->bytes.size() >= sizeof(TableBlock)) {
    std::memcpy(block.get(), compiled.artifact->bytes.data(), sizeof(TableBlock));
  }
  return block;
}

}  // namespace

void WriteDafSource(const DabFile& file, std::string_view fileName, std::FILE* out,
                    std::vector<std::string>& problems) {
  // The device name is not kept in the file: the file's base name up to its
  // first dot stands for it.
  std::string_view device = fileName.substr(fileName.find_last_of('/') + 1);
  device = device.substr(0, device.find('.'));
  if (device.empty()) device = "DEVICE";
  Writer w(file, problems);
  std::unique_ptr<const TableBlock> empty = EmptySourceBlock();
  std::vector<Section> sections;
  auto write = [&](const SectionEntry& entry, const auto& table, const auto& none) {
    // The section is written at layer 0, then at each layer above until one
    // reads no more leftovers than the one below; the layers are written the
    // highest first. A layer that adds nothing is dropped with what it could
    // not write. Each layer writes lists that are longer by at least one end,
    // so there are fewer layers than entries in a list.
    std::vector<Section> layers(1);
    layers[0].entry = &entry;
    WriteTable(w, layers[0], table, none);
    for (size_t layer = 1;; ++layer) {
      Section above;
      above.entry = &entry;
      bool ok = w.Ok();
      w.WriteLayer(layer);
      WriteTable(w, above, table, none);
      w.WriteLayer(0);
      if (above.text == layers.back().text) {
        w.SetOk(ok);
        break;
      }
      layers.push_back(std::move(above));
    }
    Section s = std::move(layers.back());
    for (size_t layer = layers.size() - 1; layer-- > 0;) {
      s.text += "\n" + layers[layer].text;
      s.strings.insert(s.strings.end(), layers[layer].strings.begin(), layers[layer].strings.end());
    }
    w.Check(entry);
    // A table left as a source without the section stores it needs no section.
    if (std::memcmp(&table, &none, sizeof table) != 0) sections.push_back(std::move(s));
  };
  ForEachTable(write, w.Block(), *empty);
  sections = InPoolOrder(std::move(sections));
  // A section that reads the table of another is written after it.
  for (size_t i = 0; i < sections.size(); ++i) {
    std::string_view after = sections[i].entry->after;
    auto read = std::find_if(sections.begin() + i, sections.end(),
                             [&](const Section& s) { return s.entry->table == after; });
    if (!after.empty() && read != sections.end()) {
      std::rotate(sections.begin() + i, sections.begin() + i + 1, read + 1);
      --i;
    }
  }
  std::fprintf(out, "// Written back from %.*s by qeldump --source.\nDevice %.*s\n",
               int(fileName.size()), fileName.data(), int(device.size()), device.data());
  for (const Section& s : sections) std::fprintf(out, "\n%s", s.text.c_str());
}

}  // namespace qelc::decompile
