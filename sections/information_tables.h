#pragma once

// The ten information-table sections. Six are conditional lists (`When` clauses
// with comma-separated words), four are numbered tables (number ':' text rows).

#include <cstdint>
#include <string_view>

namespace qelc {

// DeviceSpecificInfo { When condition : word, word ... }
void SecDeviceSpecificInfo();
void AddDeviceSpecificInfoCondition(int32_t index, std::string_view text);
void AddDeviceSpecificInfoItem(int32_t condition, int32_t index, std::string_view text);
void DumpDeviceSpecificInfo();

// HardwareSupport { When condition : word, word ... }
void SecHardwareSupport();
void AddHardwareSupportCondition(int32_t index, std::string_view text);
void AddHardwareSupportItem(int32_t condition, int32_t index, std::string_view text);
void DumpHardwareSupport();

// TemplateLink { When condition : word, word ... }
void SecTemplateLink();
void AddTemplateLinkCondition(int32_t index, std::string_view text);
void AddTemplateLinkItem(int32_t condition, int32_t index, std::string_view text);
void DumpTemplateLink();

// The C-code tables: selector 1 is CCodeFileName, selector 2 CCodeExample. The
// parser refuses any other selector; the adders and the dump ignore it.
constexpr int32_t kCCodeFileNameSelector = 1;
constexpr int32_t kCCodeExampleSelector = 2;
void SecCCodeFileName(int32_t selector);
void AddCCodeCondition(int32_t index, std::string_view text, int32_t selector);
void AddCCodeItem(int32_t condition, int32_t index, std::string_view text, int32_t selector);
void DumpCCode(int32_t selector);

// QelConfig { [Always : word, ...] When condition : word, word ... }
void SecQelConfig();
void AddQelConfigCondition(int32_t index, std::string_view text);
void AddQelConfigItem(int32_t condition, int32_t index, std::string_view text);
void DumpQelConfig();

// DeviceSpecificInfoTable { number : 'text' [,] ... }
void SecDeviceSpecificInfoTable();
void AddDeviceSpecificInfoTableRow(int32_t row, int32_t number, std::string_view text);
void DumpDeviceSpecificInfoTable();

// HardwareSupportTable { number : 'text' [,] ... }
void SecHardwareSupportTable();
void AddHardwareSupportTableRow(int32_t row, int32_t number, std::string_view text);
void DumpHardwareSupportTable();

// PackageInfoTable { number : 'text' [,] ... }
void SecPackageInfoTable();
void AddPackageInfoTableRow(int32_t row, int32_t number, std::string_view text);
void DumpPackageInfoTable();

// VoltageRangeTable { number : 'text' [,] ... }
void SecVoltageRangeTable();
void AddVoltageRangeTableRow(int32_t row, int32_t number, std::string_view text);
void DumpVoltageRangeTable();

}  // namespace qelc
