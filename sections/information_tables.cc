#include "sections/information_tables.h"

#include <cstdio>

#include "sections/conditional_list.h"
#include "sections/numbered_table.h"
#include "source/fatal.h"

namespace qelc {

namespace {

constexpr ConditionalList<30, 30> kDeviceSpecificInfo{
    .table = &TableBlock::deviceSpecificInfo,
    .keyword = "DeviceSpecificInfo",
    .progressMessage = "Parsing Section DeviceSpecificInfo\n",
    .dumpHeading = "\nDeviceSpecificInfo\n",
    .dumpItemLine = "      Device specific information: <%s>\n",
    .conditionLimit = 30,
    .itemLimit = 30,
    .conditionOverflow = "Exceed number of device specific information conditions.\n",
    .itemOverflow = "Exceed number of device specific information.\n",
    .opensWithAlways = false,
};

constexpr ConditionalList<5, 30> kHardwareSupport{
    .table = &TableBlock::hardwareSupport,
    .keyword = "HardwareSupport",
    .progressMessage = "Parsing Section HardwareSupport\n",
    .dumpHeading = "\nHardwareSupport\n",
    .dumpItemLine = "      Hardware support : <%s>\n",
    .conditionLimit = 30,
    .itemLimit = 5,
    .conditionOverflow = "Exceed number of hardware support conditions.\n",
    .itemOverflow = "Exceed number of hardware support.\n",
    .opensWithAlways = false,
};

constexpr ConditionalList<10, 30> kTemplateLink{
    .table = &TableBlock::templateLink,
    .keyword = "TemplateLink",
    .progressMessage = "Parsing Section TemplateLink\n",
    .dumpHeading = "\nTemplateLink\n",
    .dumpItemLine = "      Template link : <%s>\n",
    .conditionLimit = 30,
    .itemLimit = 10,
    .conditionOverflow = "Exceed number of template link conditions.\n",
    .itemOverflow = "Exceed number of template link.\n",
    .opensWithAlways = false,
};

constexpr ConditionalList<3, 100> kCCodeFileName{
    .table = &TableBlock::cCodeFileName,
    .keyword = "CCodeFileName",
    .progressMessage = "Parsing Section CCodeFileName\n",
    .dumpHeading = "\nCCodeFileName\n",
    .dumpItemLine = "      CCode file name : <%s>\n",
    .conditionLimit = 100,
    .itemLimit = 3,
    .conditionOverflow = "Exceed number of CCode file name conditions.\n",
    .itemOverflow = "Exceed number of CCode file name.\n",
    .opensWithAlways = false,
};

constexpr ConditionalList<30, 20> kCCodeExample{
    .table = &TableBlock::cCodeExample,
    .keyword = "CCodeExample",
    .progressMessage = "Parsing Section CCodeExample\n",
    // No empty line before this heading: part of the Out.txt format.
    .dumpHeading = "CCodeExample\n",
    .dumpItemLine = "      CCode example : <%s>\n",
    .conditionLimit = 20,
    .itemLimit = 30,
    .conditionOverflow = "Exceed number of CCode example conditions.\n",
    .itemOverflow = "Exceed number of CCode example.\n",
    .opensWithAlways = false,
};

constexpr ConditionalList<70, 40> kQelConfig{
    .table = &TableBlock::qelConfig,
    .keyword = "QelConfig",
    .progressMessage = "Parsing Section QelConfig\n",
    .dumpHeading = "\nQelConfig\n",
    // The blank before the line end is part of the Out.txt format.
    .dumpItemLine = "      Qel Config : <%s> \n",
    // One short of the 40 records and 70 slots: part of the file format.
    .conditionLimit = 39,
    .itemLimit = 69,
    .conditionOverflow = "Exceed number of MCU setting conditions.\n",
    .itemOverflow = "Exceed number of Qel config.\n",
    .opensWithAlways = true,
};

constexpr NumberedTable<30> kDeviceSpecificInfoTable{
    .table = &TableBlock::deviceSpecificInfoTable,
    .keyword = "DeviceSpecificInfoTable",
    .progressMessage = "Parsing Section DeviceSpecificInfoTable\n",
    .dumpHeading = "\nDeviceSpecificInfoTable\n",
    .overflow = "Exceed number of device specific info. table.\n",
};

constexpr NumberedTable<5> kHardwareSupportTable{
    .table = &TableBlock::hardwareSupportTable,
    .keyword = "HardwareSupportTable",
    .progressMessage = "Parsing Section HardwareSupportTable\n",
    .dumpHeading = "\nHardwareSupportTable\n",
    .overflow = "Exceed number of hardware support table.\n",
};

constexpr NumberedTable<20> kPackageInfoTable{
    .table = &TableBlock::packageInfoTable,
    .keyword = "PackageInfoTable",
    // The misspelling is part of the console output that other tools read.
    .progressMessage = "Parsing Section PacakgeInfoTable\n",
    .dumpHeading = "\nPackageInfoTable\n",
    .overflow = "Exceed number of package info. table.\n",
};

constexpr NumberedTable<10> kVoltageRangeTable{
    .table = &TableBlock::voltageRangeTable,
    .keyword = "VoltageRangeTable",
    .progressMessage = "Parsing Section VoltageRangeTable\n",
    .dumpHeading = "\nVoltageRangeTable\n",
    .overflow = "Exceed number of voltage range table.\n",
};

// Runs `action` on the C-code table that `selector` names; any other selector
// names none, and nothing happens.
template <typename Action>
void WithCCodeTable(int32_t selector, Action&& action) {
  if (selector == kCCodeFileNameSelector) action(kCCodeFileName);
  if (selector == kCCodeExampleSelector) action(kCCodeExample);
}

}  // namespace

void SecDeviceSpecificInfo() { ParseConditionalList(kDeviceSpecificInfo); }
void AddDeviceSpecificInfoCondition(int32_t index, std::string_view text) {
  AddListCondition(kDeviceSpecificInfo, index, text);
}
void AddDeviceSpecificInfoItem(int32_t condition, int32_t index, std::string_view text) {
  AddListItem(kDeviceSpecificInfo, condition, index, text);
}
void DumpDeviceSpecificInfo() { DumpConditionalList(kDeviceSpecificInfo); }

void SecHardwareSupport() { ParseConditionalList(kHardwareSupport); }
void AddHardwareSupportCondition(int32_t index, std::string_view text) {
  AddListCondition(kHardwareSupport, index, text);
}
void AddHardwareSupportItem(int32_t condition, int32_t index, std::string_view text) {
  AddListItem(kHardwareSupport, condition, index, text);
}
void DumpHardwareSupport() { DumpConditionalList(kHardwareSupport); }

void SecTemplateLink() { ParseConditionalList(kTemplateLink); }
void AddTemplateLinkCondition(int32_t index, std::string_view text) {
  AddListCondition(kTemplateLink, index, text);
}
void AddTemplateLinkItem(int32_t condition, int32_t index, std::string_view text) {
  AddListItem(kTemplateLink, condition, index, text);
}
void DumpTemplateLink() { DumpConditionalList(kTemplateLink); }

void SecCCodeFileName(int32_t selector) {
  if (selector != kCCodeFileNameSelector && selector != kCCodeExampleSelector) {
    std::fputs("SecCCodeFileName : Reach unexpected location.\n", stderr);
    ExitRun(1);
  }
  WithCCodeTable(selector, [](const auto& list) { ParseConditionalList(list); });
}
void AddCCodeCondition(int32_t index, std::string_view text, int32_t selector) {
  WithCCodeTable(selector, [&](const auto& list) { AddListCondition(list, index, text); });
}
void AddCCodeItem(int32_t condition, int32_t index, std::string_view text, int32_t selector) {
  WithCCodeTable(selector,
                 [&](const auto& list) { AddListItem(list, condition, index, text); });
}
void DumpCCode(int32_t selector) {
  WithCCodeTable(selector, [](const auto& list) { DumpConditionalList(list); });
}

void SecQelConfig() { ParseConditionalList(kQelConfig); }
void AddQelConfigCondition(int32_t index, std::string_view text) {
  AddListCondition(kQelConfig, index, text);
}
void AddQelConfigItem(int32_t condition, int32_t index, std::string_view text) {
  AddListItem(kQelConfig, condition, index, text);
}
void DumpQelConfig() { DumpConditionalList(kQelConfig); }

void SecDeviceSpecificInfoTable() { ParseNumberedTable(kDeviceSpecificInfoTable); }
void AddDeviceSpecificInfoTableRow(int32_t row, int32_t number, std::string_view text) {
  AddNumberedRow(kDeviceSpecificInfoTable, row, number, text);
}
void DumpDeviceSpecificInfoTable() { DumpNumberedTable(kDeviceSpecificInfoTable); }

void SecHardwareSupportTable() { ParseNumberedTable(kHardwareSupportTable); }
void AddHardwareSupportTableRow(int32_t row, int32_t number, std::string_view text) {
  AddNumberedRow(kHardwareSupportTable, row, number, text);
}
void DumpHardwareSupportTable() { DumpNumberedTable(kHardwareSupportTable); }

void SecPackageInfoTable() { ParseNumberedTable(kPackageInfoTable); }
void AddPackageInfoTableRow(int32_t row, int32_t number, std::string_view text) {
  AddNumberedRow(kPackageInfoTable, row, number, text);
}
void DumpPackageInfoTable() { DumpNumberedTable(kPackageInfoTable); }

void SecVoltageRangeTable() { ParseNumberedTable(kVoltageRangeTable); }
void AddVoltageRangeTableRow(int32_t row, int32_t number, std::string_view text) {
  AddNumberedRow(kVoltageRangeTable, row, number, text);
}
void DumpVoltageRangeTable() { DumpNumberedTable(kVoltageRangeTable); }

}  // namespace qelc
