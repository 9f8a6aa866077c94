#include "formats/record_fields.h"

#include <iterator>
#include <type_traits>
#include <utility>

namespace qelc {

namespace {

constexpr FieldKind kString = FieldKind::kString;
constexpr FieldKind kInt = FieldKind::kInt;

constexpr FieldNode kCategoryFields[] = {
    QELC_LEAF(SoftIPCategoryEntry, number, FieldKind::kFloat),
    QELC_LEAF(SoftIPCategoryEntry, name, kString),
    QELC_LEAF(SoftIPCategoryEntry, value, kString),
};
QELC_MAP_COVERS(SoftIPCategoryEntry, kCategoryFields);

constexpr FieldNode kInputFields[] = {
    QELC_LEAF(SoftIPInput, text1, kString),  QELC_LEAF(SoftIPInput, text2, kString),
    QELC_LEAF(SoftIPInput, text3, kString),  QELC_LEAF(SoftIPInput, text4, kString),
    QELC_LEAF(SoftIPInput, number1, kInt),   QELC_LEAF(SoftIPInput, number2, kInt),
    QELC_LEAF(SoftIPInput, text5, kString),  QELC_LEAF(SoftIPInput, text6, kString),
};
QELC_MAP_COVERS(SoftIPInput, kInputFields);

constexpr FieldNode kOutputFields[] = {
    QELC_LEAF(SoftIPOutput, text1, kString), QELC_LEAF(SoftIPOutput, text2, kString),
    QELC_LEAF(SoftIPOutput, text3, kString), QELC_LEAF(SoftIPOutput, text4, kString),
    QELC_LEAF(SoftIPOutput, number1, kInt),  QELC_LEAF(SoftIPOutput, number2, kInt),
    QELC_LEAF(SoftIPOutput, text5, kString),
};
QELC_MAP_COVERS(SoftIPOutput, kOutputFields);

constexpr FieldNode kDeclarationFields[] = {
    QELC_LEAF(SoftIPDeclaration, text1, kString),
    QELC_LEAF(SoftIPDeclaration, text2, kString),
    QELC_LEAF(SoftIPDeclaration, text3, kString),
};
QELC_MAP_COVERS(SoftIPDeclaration, kDeclarationFields);

constexpr FieldNode kMacroStatementFields[] = {
    QELC_LEAF(SoftIPMacroStatement, condition, kString),
    QELC_LEAF(SoftIPMacroStatement, statements, kString),
};
QELC_MAP_COVERS(SoftIPMacroStatement, kMacroStatementFields);

// The raw records and the count of the list `member` of an owner.
template <auto member, typename Owner>
std::span<const char> Records(const Owner& owner) {
  const auto& list = owner.*member;
  return {reinterpret_cast<const char*>(list.Data()), list.Size() * sizeof(*list.Data())};
}
template <auto member, typename Owner>
size_t Count(const Owner& owner) {
  return (owner.*member).Size();
}
template <auto member, typename Owner>
void Transfer(Owner& owner, IpbStream& stream) {
  (owner.*member).Serialise(stream);
}

// The list `member` of Owner, named `name`, of records mapped by `fields` (none:
// a list of string references).
template <typename Owner, auto member>
constexpr IpbList<Owner> List(std::string_view name, std::span<const FieldNode> fields) {
  using Record = std::remove_cvref_t<decltype(*(std::declval<Owner>().*member).Data())>;
  FieldKind kind = fields.empty() ? kString : FieldKind::kRecord;
  FieldNode element{name, kind, 0, sizeof(Record), 1, fields};
  return {element, &Records<member, Owner>, &Count<member, Owner>, &Transfer<member, Owner>};
}

constexpr IpbField<SoftIPLibrary> kLibraryFields[] = {
    {"formatVersion", kInt, &SoftIPLibrary::formatVersion},
    {"stringBytesUsed", kInt, &SoftIPLibrary::stringBytesUsed},
    {"stringCapacity", kInt, &SoftIPLibrary::stringCapacity},
};

constexpr IpbList<SoftIPLibrary> kLibraryLists[] = {
    List<SoftIPLibrary, &SoftIPLibrary::categories>("categories", kCategoryFields),
};

constexpr IpbField<SoftIPModule> kModuleFields[] = {
    {"name", kString, &SoftIPModule::name},
    {"moduleName", kString, &SoftIPModule::moduleName},
    {"moduleNumber", kInt, &SoftIPModule::moduleNumber},
};

constexpr IpbList<SoftIPModule> kModuleLists[] = {
    List<SoftIPModule, &SoftIPModule::inputs>("inputs", kInputFields),
    List<SoftIPModule, &SoftIPModule::outputs>("outputs", kOutputFields),
    List<SoftIPModule, &SoftIPModule::declarations>("declarations", kDeclarationFields),
    List<SoftIPModule, &SoftIPModule::busExtNames>("busExtNames", {}),
    List<SoftIPModule, &SoftIPModule::macroParameters>("macroParameters", {}),
    List<SoftIPModule, &SoftIPModule::macroStatements>("macroStatements", kMacroStatementFields),
    List<SoftIPModule, &SoftIPModule::equationParameters>("equationParameters", {}),
};

// The smallest module: its fields and a two-byte count per empty list.
static_assert(SoftIPModule::kSmallestEncoding ==
              std::size(kModuleFields) * sizeof(int32_t) + std::size(kModuleLists) * 2);

constexpr IpbRecordLayout<SoftIPLibrary> kLibraryLayout{kLibraryFields, kLibraryLists};
constexpr IpbRecordLayout<SoftIPModule> kModuleLayout{kModuleFields, kModuleLists};

template <typename Owner>
void ForEachRecordRef(const IpbRecordLayout<Owner>& layout, const Owner& record,
                      const std::function<void(int32_t)>& visit) {
  for (const IpbField<Owner>& field : layout.fields) {
    if (field.kind == kString) visit(record.*field.member);
  }
  for (const IpbList<Owner>& list : layout.lists) {
    const FieldNode& element = list.element;
    std::span<const FieldNode> leaves = element.kind == FieldKind::kRecord
                                            ? element.fields
                                            : std::span<const FieldNode>(&element, 1);
    std::span<const char> records = list.records(record);
    for (size_t at = 0; at < records.size(); at += element.size) {
      for (const FieldNode& leaf : leaves) {
        if (leaf.kind == kString) visit(LoadField32(records.data() + at + leaf.offset));
      }
    }
  }
}

}  // namespace

const IpbRecordLayout<SoftIPLibrary>& LibraryLayout() { return kLibraryLayout; }

const IpbRecordLayout<SoftIPModule>& ModuleLayout() { return kModuleLayout; }

void ForEachStringRef(const SoftIPLibrary& library, const std::function<void(int32_t)>& visit) {
  ForEachRecordRef(kLibraryLayout, library, visit);
  for (const SoftIPModule& module : library.modules) ForEachRecordRef(kModuleLayout, module, visit);
}

void SoftIPModule::Serialise(IpbStream& stream) {
  TransferFields(kModuleLayout, *this, stream);
  TransferLists(kModuleLayout, *this, stream);
}

}  // namespace qelc
