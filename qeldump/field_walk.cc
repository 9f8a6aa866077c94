#include <algorithm>
#include <type_traits>
#include <vector>

#include "formats/record_fields.h"
#include "formats/table_block.h"
#include "qeldump/field_printer.h"

namespace qelc::dump {

namespace {

class Walk {
 public:
  Walk(std::span<const InputFile* const> files, bool content, FieldPrinter& printer)
      : files_(files), content_(content), printer_(printer), values_(files.size()) {}

  // The header fields (those before the first table), the pool, then the tables.
  void Dab() {
    std::span<const FieldNode> fields = DabBlockMap().fields;
    auto tables = std::find_if(fields.begin(), fields.end(), [](const FieldNode& field) {
      return field.kind == FieldKind::kRecord;
    });
    printer_.BeginGroup("header");
    for (auto field = fields.begin(); field != tables; ++field) {
      if (content_ && field->offset == offsetof(TableBlock, poolUsedSize)) continue;
      DabMember(*field, field->offset);
    }
    printer_.EndGroup();
    printer_.Strings();
    printer_.BeginGroup("tables");
    for (auto table = tables; table != fields.end(); ++table) DabMember(*table, table->offset);
    printer_.EndGroup();
  }

  // The header, the lists of plain records, the modules, then the strings.
  void Ipb() {
    std::vector<const SoftIPLibrary*> libraries;
    for (const InputFile* file : files_) libraries.push_back(&file->ipb);
    printer_.BeginGroup("header");
    for (const IpbField<SoftIPLibrary>& field : LibraryLayout().fields) {
      if (content_ && field.member == &SoftIPLibrary::stringBytesUsed) continue;
      IpbMemberField(field, libraries);
    }
    printer_.EndGroup();
    for (const IpbList<SoftIPLibrary>& list : LibraryLayout().lists) IpbMemberList(list, libraries);
    std::vector<std::optional<size_t>> counts;
    size_t longest = 0;
    for (const SoftIPLibrary* library : libraries) {
      counts.emplace_back(library->modules.Size());
      longest = std::max(longest, library->modules.Size());
    }
    printer_.BeginList(kModuleListName, counts);
    std::vector<const SoftIPModule*> modules(files_.size());
    for (size_t index = 0; index < longest; ++index) {
      for (size_t i = 0; i < files_.size(); ++i) {
        modules[i] = index < *counts[i] ? &libraries[i]->modules.At(index) : nullptr;
      }
      printer_.BeginElement(index);
      for (const IpbField<SoftIPModule>& field : ModuleLayout().fields) {
        IpbMemberField(field, modules);
      }
      for (const IpbList<SoftIPModule>& list : ModuleLayout().lists) IpbMemberList(list, modules);
      printer_.EndElement();
    }
    printer_.EndList();
    printer_.Strings();
  }

 private:
  bool AllZero(size_t offset, size_t size) const {
    return std::all_of(files_.begin(), files_.end(),
                       [&](const InputFile* file) { return file->dab->Zero(offset, size); });
  }

  LeafValues DabLeaf(const FieldNode& field, size_t offset) {
    for (size_t i = 0; i < files_.size(); ++i) {
      const DabFile& dab = *files_[i]->dab;
      values_[i] = {dab.Bytes().data() + offset, dab.Zero(offset, field.size)};
    }
    return {field.kind, field.size, values_};
  }

  void DabMember(const FieldNode& field, size_t offset) {
    if (field.kind == FieldKind::kRecord && field.IsList()) {
      printer_.BeginList(field.name, {});
      for (int index = 0; index < field.count; ++index) {
        size_t at = offset + size_t(index) * field.size;
        if (AllZero(at, field.size)) continue;
        printer_.BeginElement(size_t(index));
        for (const FieldNode& member : field.fields) DabMember(member, at + member.offset);
        printer_.EndElement();
      }
      printer_.EndList();
    } else if (field.kind == FieldKind::kRecord) {
      printer_.BeginRecord(field.name);
      for (const FieldNode& member : field.fields) DabMember(member, offset + member.offset);
      printer_.EndRecord();
    } else if (field.IsList()) {
      int used = field.count;
      while (used > 0 && AllZero(offset + size_t(used - 1) * field.size, field.size)) --used;
      printer_.BeginList(field.name, {});
      for (int index = 0; index < used; ++index) {
        printer_.Element(size_t(index), DabLeaf(field, offset + size_t(index) * field.size));
      }
      printer_.EndList();
    } else {
      printer_.Field(field.name, DabLeaf(field, offset));
    }
  }

  // A field of the owner in each file; a null owner lacks it.
  template <typename Owner>
  void IpbMemberField(const IpbField<Owner>& field,
                      std::type_identity_t<std::span<const Owner* const>> owners) {
    for (size_t i = 0; i < files_.size(); ++i) {
      values_[i] = {};
      if (owners[i]) values_[i].bytes = reinterpret_cast<const char*>(&(owners[i]->*field.member));
    }
    printer_.Field(field.name, {field.kind, sizeof(int32_t), values_});
  }

  template <typename Owner>
  void IpbMemberList(const IpbList<Owner>& list,
                     std::type_identity_t<std::span<const Owner* const>> owners) {
    const FieldNode& element = list.element;
    std::vector<std::optional<size_t>> counts;
    std::vector<std::span<const char>> records;
    size_t longest = 0;
    for (const Owner* owner : owners) {
      counts.push_back(owner ? std::optional(list.count(*owner)) : std::nullopt);
      records.push_back(owner ? list.records(*owner) : std::span<const char>());
      longest = std::max(longest, counts.back().value_or(0));
    }
    auto leaf = [&](size_t index, const FieldNode& field) {
      for (size_t i = 0; i < files_.size(); ++i) {
        values_[i] = {};
        if (index < counts[i].value_or(0)) {
          values_[i].bytes = records[i].data() + index * element.size + field.offset;
        }
      }
      return LeafValues{field.kind, field.size, values_};
    };
    printer_.BeginList(element.name, counts);
    for (size_t index = 0; index < longest; ++index) {
      if (element.kind != FieldKind::kRecord) {
        printer_.Element(index, leaf(index, element));
        continue;
      }
      printer_.BeginElement(index);
      for (const FieldNode& field : element.fields) printer_.Field(field.name, leaf(index, field));
      printer_.EndElement();
    }
    printer_.EndList();
  }

  std::span<const InputFile* const> files_;
  bool content_;
  FieldPrinter& printer_;
  std::vector<FieldValue> values_;
};

}  // namespace

void WalkFiles(std::span<const InputFile* const> files, bool content, FieldPrinter& printer) {
  Walk walk(files, content, printer);
  if (files.front()->kind == FileKind::kDab) {
    walk.Dab();
  } else {
    walk.Ipb();
  }
}

}  // namespace qelc::dump
