#pragma once

// The ten information-table sections. Six are conditional lists (`When` clauses
// with comma-separated words), four are numbered tables (number ':' text rows);
// each member is the data its shape's rules read, dump and empty it with.

#include "formats/catalogue.h"
#include "sections/conditional_list.h"
#include "sections/numbered_table.h"

namespace qelc {

inline constexpr ConditionalList kDeviceSpecificInfo{
    .dumpItemLine = "      Device specific information: <%s>\n",
    .conditionLimit = DafSectionAt(offsetof(TableBlock, deviceSpecificInfo)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, deviceSpecificInfo)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of device specific information conditions.\n",
    .itemOverflow = "Exceed number of device specific information.\n",
    .always = DafSectionAt(offsetof(TableBlock, deviceSpecificInfo)).alwaysFirst
                  ? AlwaysClause::kStoredFirst
                  : AlwaysClause::kRefused,
};

inline constexpr ConditionalList kHardwareSupport{
    .dumpItemLine = "      Hardware support : <%s>\n",
    .conditionLimit = DafSectionAt(offsetof(TableBlock, hardwareSupport)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, hardwareSupport)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of hardware support conditions.\n",
    .itemOverflow = "Exceed number of hardware support.\n",
    .always = DafSectionAt(offsetof(TableBlock, hardwareSupport)).alwaysFirst
                  ? AlwaysClause::kStoredFirst
                  : AlwaysClause::kRefused,
};

inline constexpr ConditionalList kTemplateLink{
    .dumpItemLine = "      Template link : <%s>\n",
    .conditionLimit = DafSectionAt(offsetof(TableBlock, templateLink)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, templateLink)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of template link conditions.\n",
    .itemOverflow = "Exceed number of template link.\n",
    .always = DafSectionAt(offsetof(TableBlock, templateLink)).alwaysFirst
                  ? AlwaysClause::kStoredFirst
                  : AlwaysClause::kRefused,
};

inline constexpr ConditionalList kCCodeFileName{
    .dumpItemLine = "      CCode file name : <%s>\n",
    .conditionLimit = DafSectionAt(offsetof(TableBlock, cCodeFileName)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, cCodeFileName)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of CCode file name conditions.\n",
    .itemOverflow = "Exceed number of CCode file name.\n",
    .always = DafSectionAt(offsetof(TableBlock, cCodeFileName)).alwaysFirst
                  ? AlwaysClause::kStoredFirst
                  : AlwaysClause::kRefused,
};

inline constexpr ConditionalList kCCodeExample{
    .dumpItemLine = "      CCode example : <%s>\n",
    .conditionLimit = DafSectionAt(offsetof(TableBlock, cCodeExample)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, cCodeExample)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of CCode example conditions.\n",
    .itemOverflow = "Exceed number of CCode example.\n",
    .always = DafSectionAt(offsetof(TableBlock, cCodeExample)).alwaysFirst
                  ? AlwaysClause::kStoredFirst
                  : AlwaysClause::kRefused,
};

inline constexpr ConditionalList kQelConfig{
    // The blank before the line end is part of the Out.txt format.
    .dumpItemLine = "      Qel Config : <%s> \n",
    // One short of the 40 records and 70 slots (the catalogue says so): part
    // of the file format.
    .conditionLimit = DafSectionAt(offsetof(TableBlock, qelConfig)).capacities[0].Limit(),
    .itemLimit = DafSectionAt(offsetof(TableBlock, qelConfig)).capacities[1].Limit(),
    .conditionOverflow = "Exceed number of MCU setting conditions.\n",
    .itemOverflow = "Exceed number of Qel config.\n",
    .always = DafSectionAt(offsetof(TableBlock, qelConfig)).alwaysFirst ? AlwaysClause::kStoredFirst
                                                                        : AlwaysClause::kRefused,
};

inline constexpr NumberedTable kDeviceSpecificInfoTable{
    .overflow = "Exceed number of device specific info. table.\n"};
inline constexpr NumberedTable kHardwareSupportTable{
    .overflow = "Exceed number of hardware support table.\n"};
inline constexpr NumberedTable kPackageInfoTable{.overflow =
                                                     "Exceed number of package info. table.\n"};
inline constexpr NumberedTable kVoltageRangeTable{.overflow =
                                                      "Exceed number of voltage range table.\n"};

}  // namespace qelc
