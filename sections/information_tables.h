#pragma once

// The ten information-table sections. Six are conditional lists (`When` clauses
// with comma-separated words), four are numbered tables (number ':' text rows);
// each member is the data its shape's rules read, dump and empty it with.

#include "sections/conditional_list.h"
#include "sections/numbered_table.h"

namespace qelc {

inline constexpr ConditionalList kDeviceSpecificInfo{
    .dumpItemLine = "      Device specific information: <%s>\n",
    .conditionLimit = EntriesOf(&TableBlock::deviceSpecificInfo),
    .itemLimit = ItemsOf(&TableBlock::deviceSpecificInfo),
    .conditionOverflow = "Exceed number of device specific information conditions.\n",
    .itemOverflow = "Exceed number of device specific information.\n",
    .always = AlwaysClause::kRefused,
};

inline constexpr ConditionalList kHardwareSupport{
    .dumpItemLine = "      Hardware support : <%s>\n",
    .conditionLimit = EntriesOf(&TableBlock::hardwareSupport),
    .itemLimit = ItemsOf(&TableBlock::hardwareSupport),
    .conditionOverflow = "Exceed number of hardware support conditions.\n",
    .itemOverflow = "Exceed number of hardware support.\n",
    .always = AlwaysClause::kRefused,
};

inline constexpr ConditionalList kTemplateLink{
    .dumpItemLine = "      Template link : <%s>\n",
    .conditionLimit = EntriesOf(&TableBlock::templateLink),
    .itemLimit = ItemsOf(&TableBlock::templateLink),
    .conditionOverflow = "Exceed number of template link conditions.\n",
    .itemOverflow = "Exceed number of template link.\n",
    .always = AlwaysClause::kRefused,
};

inline constexpr ConditionalList kCCodeFileName{
    .dumpItemLine = "      CCode file name : <%s>\n",
    .conditionLimit = EntriesOf(&TableBlock::cCodeFileName),
    .itemLimit = ItemsOf(&TableBlock::cCodeFileName),
    .conditionOverflow = "Exceed number of CCode file name conditions.\n",
    .itemOverflow = "Exceed number of CCode file name.\n",
    .always = AlwaysClause::kRefused,
};

inline constexpr ConditionalList kCCodeExample{
    .dumpItemLine = "      CCode example : <%s>\n",
    .conditionLimit = EntriesOf(&TableBlock::cCodeExample),
    .itemLimit = ItemsOf(&TableBlock::cCodeExample),
    .conditionOverflow = "Exceed number of CCode example conditions.\n",
    .itemOverflow = "Exceed number of CCode example.\n",
    .always = AlwaysClause::kRefused,
};

inline constexpr ConditionalList kQelConfig{
    // The blank before the line end is part of the Out.txt format.
    .dumpItemLine = "      Qel Config : <%s> \n",
    // One short of the 40 records and 70 slots: part of the file format.
    .conditionLimit = EntriesOf(&TableBlock::qelConfig) - 1,
    .itemLimit = ItemsOf(&TableBlock::qelConfig) - 1,
    .conditionOverflow = "Exceed number of MCU setting conditions.\n",
    .itemOverflow = "Exceed number of Qel config.\n",
    .always = AlwaysClause::kStoredFirst,
};

inline constexpr NumberedTable kDeviceSpecificInfoTable{
    .overflow = "Exceed number of device specific info. table.\n"};
inline constexpr NumberedTable kHardwareSupportTable{
    .overflow = "Exceed number of hardware support table.\n"};
inline constexpr NumberedTable kPackageInfoTable{.overflow = "Exceed number of package info. table.\n"};
inline constexpr NumberedTable kVoltageRangeTable{
    .overflow = "Exceed number of voltage range table.\n"};

}  // namespace qelc
