#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/record_list.h"
#include "formats/string_ref.h"

namespace qelc {

// The records of a compiled IPF source. Every text is a string reference into the
// soft-IP string buffer; every field is 4 bytes, and the field order is the order
// in the IPB file.

// One entry of a SoftIPCategory section.
struct SoftIPCategoryEntry {
  float number;
  StringRef name;   // as written, quotes kept
  StringRef value;  // quotes removed
};
static_assert(sizeof(SoftIPCategoryEntry) == 12);

// One line of an Input block.
struct SoftIPInput {
  StringRef text1;
  StringRef text2;
  StringRef text3;
  StringRef text4;
  int32_t number1;  // 1 for a field present but empty, 0 for one left out
  int32_t number2;
  StringRef text5;
  StringRef text6;
};
static_assert(sizeof(SoftIPInput) == 32);

// One line of an Output block: an input line without its eighth field.
struct SoftIPOutput {
  StringRef text1;
  StringRef text2;
  StringRef text3;
  StringRef text4;
  int32_t number1;
  int32_t number2;
  StringRef text5;
};
static_assert(sizeof(SoftIPOutput) == 28);

// One line of a Declaration block.
struct SoftIPDeclaration {
  StringRef text1;
  StringRef text2;
  StringRef text3;
};
static_assert(sizeof(SoftIPDeclaration) == 12);

// One statement line of a Macro block.
struct SoftIPMacroStatement {
  StringRef condition;   // the _when condition text, or "1"
  StringRef statements;  // each statement unquoted and followed by "\n"
};
static_assert(sizeof(SoftIPMacroStatement) == 8);

// One soft-IP module: three fields, then its seven lists in file order.
struct SoftIPModule {
  // Three 4-byte fields and seven empty lists of two bytes each.
  static constexpr size_t kSmallestEncoding = 3 * 4 + 7 * 2;

  StringRef name = 0;
  StringRef moduleName = 0;
  int32_t moduleNumber = 0;  // -128..127
  RecordList<SoftIPInput> inputs;
  RecordList<SoftIPOutput> outputs;
  RecordList<SoftIPDeclaration> declarations;
  RecordList<StringRef> busExtNames;
  RecordList<StringRef> macroParameters;
  RecordList<SoftIPMacroStatement> macroStatements;
  RecordList<StringRef> equationParameters;

  // Set by the Module statement; not part of the file.
  bool hasModuleStatement = false;

  // Writes the module, or replaces it by the module read from the stream, as
  // its layout in softip/record_fields.cc says.
  void Serialise(IpbStream& stream);
};

}  // namespace qelc
