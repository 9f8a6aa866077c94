#pragma once

// What the compiler's own parsers read in a source, kept while the linter runs:
// its sections and their entries, every name it defines and uses, its
// #include lines and its #ifdef/#ifndef blocks, each with where it stands in
// the user's files. Tools answer from these facts instead of reading the text
// again.

#include <cstdint>
#include <string>
#include <vector>

#include "qelc/diagnostic.h"

namespace qelc {

// What a name names.
enum class NameKind {
  kPin,             // a pin: a PinNumberByPackage row's name, or an Initialize .name value
  kAlias,           // an Alias row's name
  kGroup,           // a group of the Group section
  kTypeCategory,    // a category of the TypeCategory section
  kDefine,          // a #define name
  kSoftIpCategory,  // an entry of a SoftIPCategory block
  kModule,          // a soft-IP module
};

// A name as the source gives it. `at` covers the token as written, quotes
// included when `quoted`; `name` is without them.
struct NameDefinition {
  NameKind kind = NameKind::kPin;
  std::string name;
  SourceRange at;
  bool quoted = false;
  // A pin of a PinNumberByPackage row: its package and pin number, and the
  // condition text of the clause it stands under (each token behind a
  // backslash, as stored).
  std::string package;
  int32_t pinNumber = 0;
  std::string condition;
  // An alias: the pin it names (without quotes). A #define: its value as
  // written, and where it stands (nothing for a define without one).
  std::string target;
  SourceRange valueAt;
};

// A place where a name is used: a pin named by an alias, a group, a Pin entry
// or an Initialize line (kind kPin); a type category named by a Pin entry.
struct NameUse {
  NameKind kind = NameKind::kPin;
  std::string name;
  SourceRange at;
  bool quoted = false;
};

// A word the language gives a meaning of its own, where a reader may want it
// explained.
enum class KeywordKind {
  kSection,      // a DAF section keyword, SoftIPCategory
  kCondition,    // a condition variable or a word that joins or compares them
  kAttribute,    // the attribute of an Initialize target (P7.displayname)
  kModuleBlock,  // a block of a soft-IP module (Input, Macro, ...)
};

struct KeywordFact {
  KeywordKind kind = KeywordKind::kSection;
  std::string word;  // as written
  SourceRange at;
};

// One entry of a block as the parser read it: a `When`/`Always` clause, a row,
// a line of a soft-IP block, a block of a module. `span` runs from its first
// token to the end of its last; `text` is its tokens on its first line.
struct OutlineEntry {
  std::string text;
  SourceRange span;
  std::vector<OutlineEntry> children;
};

enum class SectionKind { kSection, kSoftIpCategory, kModule };

// A top-level block: a DAF section, a SoftIPCategory block or a module. `span`
// runs from the keyword (the module's name) to the end of the last token read
// in it, its closing brace when it has one.
struct SectionFact {
  SectionKind kind = SectionKind::kSection;
  std::string keyword;  // as written
  SourceRange keywordAt;
  SourceRange span;
  std::vector<OutlineEntry> entries;
};

// An #include line: the name it gives (as the preprocessor opened it) and
// where that name stands, in `file` (the file that holds the line).
struct IncludeFact {
  std::string name;
  SourceRange at;
  std::string file;
  // The name under which the included file was read: the one the source's
  // files are looked up by.
  std::string resolved;
};

// An #ifdef or #ifndef line and the #endif that closes it, as one stretch of
// one file (from the start of the opening line to the end of the #endif).
struct ConditionalBlock {
  SourceRange span;
};

struct SourceFacts {
  std::vector<SectionFact> sections;
  std::vector<NameDefinition> definitions;
  std::vector<NameUse> uses;
  std::vector<KeywordFact> keywords;
  std::vector<IncludeFact> includes;
  std::vector<ConditionalBlock> conditionals;
};

}  // namespace qelc
