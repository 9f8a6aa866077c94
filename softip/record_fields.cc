#include "softip/record_fields.h"

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

constexpr FieldNode kCategoryEntry = {"categories", FieldKind::kRecord, 0,
                                      sizeof(SoftIPCategoryEntry), 1, kCategoryFields};

constexpr ModuleField kModuleFields[] = {
    {"name", kString, &SoftIPModule::name},
    {"moduleName", kString, &SoftIPModule::moduleName},
    {"moduleNumber", kInt, &SoftIPModule::moduleNumber},
};

template <typename T>
constexpr FieldNode Element(std::string_view name, std::span<const FieldNode> fields) {
  return {name, fields.empty() ? kString : FieldKind::kRecord, 0, sizeof(T), 1, fields};
}

// The raw records and the count of the list `member` of a module.
template <auto member>
std::span<const char> Records(const SoftIPModule& module) {
  const auto& list = module.*member;
  return {reinterpret_cast<const char*>(list.Data()), list.Size() * sizeof(*list.Data())};
}
template <auto member>
size_t Count(const SoftIPModule& module) {
  return (module.*member).Size();
}

template <auto member>
constexpr ModuleList List(std::string_view name, std::span<const FieldNode> fields) {
  using Record = std::remove_cvref_t<decltype(*(std::declval<SoftIPModule>().*member).Data())>;
  return {Element<Record>(name, fields), &Records<member>, &Count<member>};
}

constexpr ModuleList kModuleLists[] = {
    List<&SoftIPModule::inputs>("inputs", kInputFields),
    List<&SoftIPModule::outputs>("outputs", kOutputFields),
    List<&SoftIPModule::declarations>("declarations", kDeclarationFields),
    List<&SoftIPModule::busExtNames>("busExtNames", {}),
    List<&SoftIPModule::macroParameters>("macroParameters", {}),
    List<&SoftIPModule::macroStatements>("macroStatements", kMacroStatementFields),
    List<&SoftIPModule::equationParameters>("equationParameters", {}),
};

}  // namespace

const FieldNode& CategoryEntryMap() { return kCategoryEntry; }

std::span<const ModuleField> ModuleFields() { return kModuleFields; }

std::span<const ModuleList> ModuleLists() { return kModuleLists; }

}  // namespace qelc
