#include "qelcmd/new_source.h"

#include <cctype>

namespace qelc::qelcmd {

namespace {

// NAME stands for the device's name.
constexpr std::string_view kDafTemplate =
    R"daf(// The device NAME, described in the DAF language (docs/daf.md).
// Compile it with: qel build NAME.daf
// Conditions (When DEV is 'X' :, When PACKAGE isin [...] :) are explained in
// docs/daf.md#conditions.
Device NAME

// Free text for the tools that read the source; the compiler skips it.
// docs/daf.md#stringquote
StringQuote {
  'NAME device description' { revision { A } }
}

// The physical pin numbers per package: package : pin number : signal name,
// the rows separated by commas; RSV marks a reserved pin.
// docs/daf.md#pinnumberbypackage
PinNumberByPackage {
  When PACKAGE is 'QFP32' :
    QFP32 : 1 : 'VDD',
    QFP32 : 2 : 'PA0',
    QFP32 : 3 : 'PA1',
    QFP32 : 4 : RSV
}

// Other names of the signals: alias : signal, the rows separated by commas.
// docs/daf.md#alias
Alias {
  When PACKAGE is 'QFP32' :
    LED : 'PA0',
    BUTTON : 'PA1'
}

// The settings of pins when a design starts: pin.attribute = value ;
// (name, nchange or PinEdit, reserve, displayname).
// docs/daf.md#initialize
Initialize {
  When PACKAGE is 'QFP32' :
    P2.name = 'PA0' ;
    P2.displayname = 'User LED' ;
    P4.reserve = 'Factory test' ;
}

// File name extensions the tools know: extension : description.
// docs/daf.md#extensions
Extensions {
  'daf' : 'Device description'
  'ipf' : 'Soft IP library'
}

// The categories a pin type is chosen in: name = description.
// docs/daf.md#typecategory
TypeCategory {
  IoType = 'I/O standard'
  Drive = 'drive strength'
}

// Numbered short names of type settings: code : name [: categories] = meaning.
// docs/daf.md#typeshorthand
TypeShortHand {
  1 : LV33 : IoType = 'LVCMOS 3.3 V'
  2 : D8 : Drive = '8 mA'
}

// The lines written before and after a design: the words first, then at most
// one PTerm, Decl, Equation and PropertyTab statement, in this order.
// docs/daf.md#designprolog-and-designepilog
DesignProlog {
  Always :
    TITLE design NAME
    Decl : 'DEVICE NAME'
}

DesignEpilog {
  Always : END
}

// Pin groups offered to the designer: name : description : { pin : value },
// alternatives separated by a bar, then optional Decl and Equation statements.
// docs/daf.md#group
Group {
  Always :
    Clock : 'clock input' : { PA1 : 1 } Decl : 'CLOCK PA1'
}

// How each kind of signal is written into the design file.
// docs/daf.md#outputsyntax
OutputSyntax {
  Input : Pin : {
    DefaultSigName : 'IN%d'
    DeclWithPinNum : 'PIN %p = %s;'
    Equation : '%s = %e;'
  }
}

// The type selections allowed for groups of pins: pins, then per category
// the values offered.
// docs/daf.md#pin
Pin {
  PA0 : PA1 : {
    IoType : LVCMOS33, LVCMOS18
    Drive : 4mA, 8mA
  }
}

// Pin type conversions: from : to [: category] ;
// docs/daf.md#typeconversion
TypeConversion {
  LVCMOS25 : LVCMOS33 ;
}

// Numbered texts: number : text.
// docs/daf.md#numbered-tables
DeviceSpecificInfoTable {
  1 : 'Flash size (KB)',
  2 : 'RAM size (KB)'
}

HardwareSupportTable {
  1 : 'USB device'
}

PackageInfoTable {
  32 : 'QFP32'
}

VoltageRangeTable {
  33 : '3.3V I/O'
}

// Lists of words under conditions: the values of the numbered tables above,
// templates, example code and configuration words.
// docs/daf.md#conditional-lists
DeviceSpecificInfo {
  When DEV is 'NAME' : 64, 8
}

HardwareSupport {
  When PACKAGE is 'QFP32' : usb
}

TemplateLink {
  When DEV is 'NAME' : startup.tpl
}

CCodeFileName {
  When PACKAGE is 'QFP32' : main.c
}

CCodeExample {
  When DEV is 'NAME' : 'GPIO_Init(PORT_A);'
}

QelConfig {
  Always : 'CLOCK_SOURCE=INTERNAL'
}

// Memory maps: Number, Title, Description, Main and Secondary, then address
// ranges: first : last : name : access : protection : size : kind.
// docs/daf.md#memorymap
MemoryMap {
  Always :
  {
    Number : 1
    Title : 'Program memory'
    Description : 'Code flash'
    Main : 'PFLASH'
    Secondary : 'NONE'
    0x00000000 : 0x0000FFFF : 'Application' : RX : - : 64K : app
  }
}
)daf";

// NAME stands for the module's name.
constexpr std::string_view kIpfTemplate =
    R"ipf(// A soft-IP library with the module NAME, in the IPF language (docs/ipf.md).
// Compile it with: qel build NAME.ipf

// The categories of the library: number : name = description.
// docs/ipf.md#softipcategory
SoftIPCategory {
  1 : Glue = 'Glue logic'
}

// A module: its blocks say its category, its ports, its signals, its macros
// and the equations that use them. docs/ipf.md#modules
NAME {
  // The category the module belongs to. docs/ipf.md#module
  Module : { NAME : 1 ; }

  // Ports: name : kind : direction : width : then optional reset value,
  // bus width and bit order. docs/ipf.md#input-and-output
  Input : {
    clk : wire : in : 1 : ;
    data : bus : in : 8 : : 8 : msb : lsb ;
  }

  Output : {
    ready : wire : out : 1 : ;
  }

  // Internal signals: kind : name : width. docs/ipf.md#declaration
  Declaration : {
    reg : buffer : 8 ;
  }

  // Names of the buses outside the module. docs/ipf.md#busextname
  BusExtName : { NAME_DATA }

  // Macros: a name, its parameters and its statements in single quotes.
  // docs/ipf.md#macro
  Macro : {
    MacroName ( width ) {
      'buffer <= data;', 'ready <= 1;'
    }
  }

  // The macros the module uses, with their arguments. docs/ipf.md#equation
  Equation : { MacroName ( width ) ; }
}
)ipf";

bool IsName(std::string_view name) {
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> StartingSource(SourceKind kind, std::string_view name) {
  if (!IsName(name)) return std::nullopt;
  std::string_view text = kind == SourceKind::kDaf ? kDafTemplate : kIpfTemplate;
  std::string source;
  for (size_t at = 0;;) {
    size_t found = text.find("NAME", at);
    source += text.substr(at, found - at);
    if (found == std::string_view::npos) break;
    source += name;
    at = found + 4;
  }
  return source;
}

}  // namespace qelc::qelcmd
