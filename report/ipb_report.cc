#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "formats/catalogue.h"
#include "report/html_text.h"
#include "report/page.h"
#include "report/report.h"

namespace qelc::report {

namespace {

constexpr double kPortPitch = 22;
constexpr double kLead = 28;  // the line of a port outside the body
constexpr double kBodyWidth = 260;
constexpr size_t kPortLabel = 18;  // characters of a port name inside the body

class IpbWriter {
 public:
  IpbWriter(const SoftIPLibrary& library, std::string_view strings)
      : library_(library), strings_(strings) {}

  std::string Body(std::string_view name, std::string_view title, std::string_view index) {
    std::string out =
        "<header>" + IndexLink(index) + "<h1>" + Escaped(title.empty() ? name : title) +
        "</h1><p>" + (title.empty() ? "An IPB file" : "The IPB file " + Escaped(name)) + ": " +
        Count(library_.categories.Size(), "category", "categories") + ", " +
        Count(library_.modules.Size(), "module", "modules") + ".</p></header>\n<main>\n";
    out += "<section id=\"categories\"><h2>" + headings_.List("categories") + "</h2>\n" +
           Categories() + "</section>\n";
    out += "<section id=\"modules\"><h2>Modules</h2>\n";
    for (size_t i = 0; i < library_.modules.Size(); ++i) out += Module(library_.modules.At(i));
    return out + "</section>\n</main>\n" + headings_.Note();
  }

 private:
  std::string_view Text(StringRef ref) const {
    std::string_view rest = strings_.substr(std::min(size_t(ref), strings_.size()));
    return rest.substr(0, rest.find('\0'));
  }
  std::string Escape(StringRef ref) const { return Escaped(Text(ref)); }

  static std::string FloatText(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
  }

  std::string Column(std::string_view path, std::string_view field) {
    return headings_.Column(path, field);
  }

  std::string Categories() {
    Table table("", {Column("categories", "number"), Column("categories", "name"),
                     Column("categories", "value")});
    for (size_t i = 0; i < library_.categories.Size(); ++i) {
      const SoftIPCategoryEntry& entry = library_.categories.At(i);
      table.Row({FloatText(entry.number), Escape(entry.name), Escape(entry.value)});
    }
    return table.Html();
  }

  std::string Port(std::string_view module, StringRef name, StringRef width, bool input,
                   double bodyX, double y) const {
    double edge = input ? bodyX : bodyX + kBodyWidth;
    double outer = input ? edge - kLead : edge + kLead;
    std::string label = EscapedLabel(Text(name), kPortLabel);
    std::string_view widthText = Text(width);
    if (!widthText.empty() && widthText != "1") label += " [" + EscapedLabel(widthText, 8) + "]";
    return "<g class=\"port\"" + Attribute("data-module", module) +
           Attribute("data-port", Text(name)) + Attribute("data-direction", input ? "in" : "out") +
           "><title>" + (input ? "input " : "output ") + Escape(name) + "</title><line x1=\"" +
           Number(outer) + "\" y1=\"" + Number(y) + "\" x2=\"" + Number(edge) + "\" y2=\"" +
           Number(y) + "\"/><text x=\"" + Number(input ? edge + 6 : edge - 6) + "\" y=\"" +
           Number(y + 4) + "\" text-anchor=\"" + (input ? "start" : "end") + "\">" + label +
           "</text></g>\n";
  }

  std::string Symbol(const SoftIPModule& module) const {
    std::string_view name = Text(module.name);
    size_t lines = std::max<size_t>({module.inputs.Size(), module.outputs.Size(), 1});
    double bodyX = kLead + 8, bodyY = 8;
    double bodyHeight = 34 + double(lines) * kPortPitch;
    double width = 2 * bodyX + kBodyWidth;
    std::string out = "<svg class=\"drawing symbol\" viewBox=\"0 0 " + Number(width) + " " +
                      Number(bodyY + bodyHeight + 8) + "\" style=\"max-width:" + Number(width) +
                      "px\" role=\"img\" aria-label=\"" + Escaped(name) + " symbol\">\n";
    out += "<rect class=\"module-body\" x=\"" + Number(bodyX) + "\" y=\"" + Number(bodyY) +
           "\" width=\"" + Number(kBodyWidth) + "\" height=\"" + Number(bodyHeight) + "\"/>\n";
    out += "<text class=\"module-name\" x=\"" + Number(bodyX + kBodyWidth / 2) + "\" y=\"" +
           Number(bodyY + 20) + "\" text-anchor=\"middle\">" + EscapedLabel(name, 36) + "</text>\n";
    for (size_t i = 0; i < module.inputs.Size(); ++i) {
      const SoftIPInput& input = module.inputs.At(i);
      out += Port(name, input.text1, input.text4, true, bodyX, bodyY + 34 + double(i) * kPortPitch);
    }
    for (size_t i = 0; i < module.outputs.Size(); ++i) {
      const SoftIPOutput& output = module.outputs.At(i);
      out +=
          Port(name, output.text1, output.text4, false, bodyX, bodyY + 34 + double(i) * kPortPitch);
    }
    return out + "</svg>\n";
  }

  std::string Ports(const SoftIPModule& module) {
    std::string_view input = IpfBlockOf("inputs").keyword, output = IpfBlockOf("outputs").keyword;
    std::vector<std::string> headings = {""};
    for (const char* field :
         {"text1", "text2", "text3", "text4", "number1", "number2", "text5", "text6"}) {
      headings.push_back(Column("modules.inputs", field));
    }
    Table table(headings_.List("modules.inputs") + " and " + headings_.List("modules.outputs"),
                std::move(headings));
    for (size_t i = 0; i < module.inputs.Size(); ++i) {
      const SoftIPInput& p = module.inputs.At(i);
      table.Row({std::string(input), Escape(p.text1), Escape(p.text2), Escape(p.text3),
                 Escape(p.text4), std::to_string(p.number1), std::to_string(p.number2),
                 Escape(p.text5), Escape(p.text6)});
    }
    for (size_t i = 0; i < module.outputs.Size(); ++i) {
      const SoftIPOutput& p = module.outputs.At(i);
      table.Row({std::string(output), Escape(p.text1), Escape(p.text2), Escape(p.text3),
                 Escape(p.text4), std::to_string(p.number1), std::to_string(p.number2),
                 Escape(p.text5), ""});
    }
    return table.Html();
  }

  std::string Words(const RecordList<StringRef>& list) const {
    std::string out;
    for (size_t i = 0; i < list.Size(); ++i) out += (i > 0 ? ", " : "") + Escape(list.At(i));
    return out;
  }

  std::string Others(const SoftIPModule& module) {
    const char* declarationPath = "modules.declarations";
    Table declarations(headings_.List(declarationPath),
                       {Column(declarationPath, "text1"), Column(declarationPath, "text2"),
                        Column(declarationPath, "text3")});
    for (size_t i = 0; i < module.declarations.Size(); ++i) {
      const SoftIPDeclaration& d = module.declarations.At(i);
      declarations.Row({Escape(d.text1), Escape(d.text2), Escape(d.text3)});
    }
    Table macro(headings_.List("modules.macroStatements"),
                {Column("modules.macroStatements", "condition"),
                 Column("modules.macroStatements", "statements")});
    for (size_t i = 0; i < module.macroStatements.Size(); ++i) {
      const SoftIPMacroStatement& s = module.macroStatements.At(i);
      macro.Row({ConditionText(Text(s.condition)), "<pre>" + Escape(s.statements) + "</pre>"});
    }
    Table lists("", {Column("modules", "moduleName") + " : " + Column("modules", "moduleNumber"),
                     Column("modules", "busExtNames"), Column("modules", "macroParameters"),
                     Column("modules", "equationParameters")});
    // A module without a Module statement stores an empty name and number 0.
    bool statement = module.moduleName != 0 || module.moduleNumber != 0;
    lists.Row(
        {statement ? Escape(module.moduleName) + " : " + std::to_string(module.moduleNumber) : "",
         Words(module.busExtNames), Words(module.macroParameters),
         Words(module.equationParameters)});
    return lists.Html() + declarations.Html() + macro.Html();
  }

  std::string Module(const SoftIPModule& module) {
    return "<section class=\"module\"><h3>" + Escape(module.name) +
           "</h3>\n<div class=\"figure-row\"><div>" + Symbol(module) + "</div><div>" +
           Ports(module) + "</div></div>\n" + Others(module) + "</section>\n";
  }

  const SoftIPLibrary& library_;
  std::string_view strings_;
  Headings headings_{TableNames::OfIpb()};
};

}  // namespace

std::string IpbReport(const SoftIPLibrary& library, std::string_view strings, std::string_view name,
                      std::string_view title, std::string_view index) {
  IpbWriter writer(library, strings);
  std::string body = writer.Body(name, title, index);
  return Page(title.empty() ? Escaped(name) + " \u2013 soft-IP report" : Escaped(title), body);
}

}  // namespace qelc::report
