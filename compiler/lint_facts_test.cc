#include <gtest/gtest.h>

#include <map>
#include <string>

#include "compiler/lint_run.h"

namespace qelc::lint {
namespace {

// The facts of `files["dev.daf"]` (or another source), its includes read from
// `files`.
SourceFacts FactsOf(const std::map<std::string, std::string>& files,
                    const std::string& source = "dev.daf") {
  std::vector<Diagnostic> findings;
  NotShown notShown;
  SourceFacts facts;
  auto read = [&files](const std::string& name) -> std::optional<std::string> {
    auto file = files.find(name);
    if (file == files.end()) return std::nullopt;
    return file->second;
  };
  EXPECT_EQ(LintText(source, read, DefaultWarnings(), 0, findings, notShown, &facts),
            LintStatus::kLinted);
  for (const Diagnostic& finding : findings) ADD_FAILURE() << finding.message;
  return facts;
}

// file:line:column-endLine:endColumn
std::string Where(const SourceRange& at) {
  return at.file + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + "-" +
         std::to_string(at.endLine) + ":" + std::to_string(at.endColumn);
}

const NameDefinition* Definition(const SourceFacts& facts, NameKind kind, const std::string& name) {
  for (const NameDefinition& definition : facts.definitions) {
    if (definition.kind == kind && definition.name == name) return &definition;
  }
  return nullptr;
}

constexpr const char* kPins =
    "PinNumberByPackage {\n"
    "  When PACKAGE is 'LQFP48' :\n"
    "    LQFP48 : 34 : 'PA13',\n"
    "    LQFP48 : 37 : 'PA14'\n"
    "}\n";

TEST(LintFacts, PinRowsAliasesAndUsesWithTheirRanges) {
  SourceFacts facts = FactsOf({{"dev.daf", std::string("Device QX1\n") + kPins +
                                               "Alias {\n"
                                               "  When DEV is 'QX1' :\n"
                                               "    SWDIO : 'PA13',\n"
                                               "    'JTCK' : PA14\n"
                                               "}\n"}});
  const NameDefinition* pin = Definition(facts, NameKind::kPin, "PA13");
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(Where(pin->at), "dev.daf:4:19-4:25");
  EXPECT_TRUE(pin->quoted);
  EXPECT_EQ(pin->package, "LQFP48");
  EXPECT_EQ(pin->pinNumber, 34);
  EXPECT_EQ(pin->condition, "\\PACKAGE\\is\\'LQFP48'");

  const NameDefinition* alias = Definition(facts, NameKind::kAlias, "SWDIO");
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(Where(alias->at), "dev.daf:9:5-9:10");
  EXPECT_FALSE(alias->quoted);
  EXPECT_EQ(alias->target, "PA13");
  const NameDefinition* quotedAlias = Definition(facts, NameKind::kAlias, "JTCK");
  ASSERT_NE(quotedAlias, nullptr);
  EXPECT_TRUE(quotedAlias->quoted);
  EXPECT_EQ(Where(quotedAlias->at), "dev.daf:10:5-10:11");

  ASSERT_EQ(facts.uses.size(), 2u);
  EXPECT_EQ(facts.uses[0].name, "PA13");
  EXPECT_TRUE(facts.uses[0].quoted);
  EXPECT_EQ(Where(facts.uses[0].at), "dev.daf:9:13-9:19");
  EXPECT_EQ(facts.uses[1].name, "PA14");
  EXPECT_FALSE(facts.uses[1].quoted);
  EXPECT_EQ(Where(facts.uses[1].at), "dev.daf:10:14-10:18");
}

TEST(LintFacts, SectionsWithTheirClausesAndRows) {
  SourceFacts facts = FactsOf({{"dev.daf", std::string("Device QX1\n") + kPins}});
  ASSERT_EQ(facts.sections.size(), 1u);
  const SectionFact& section = facts.sections[0];
  EXPECT_EQ(section.keyword, "PinNumberByPackage");
  EXPECT_EQ(Where(section.keywordAt), "dev.daf:2:1-2:19");
  EXPECT_EQ(Where(section.span), "dev.daf:2:1-6:2");
  ASSERT_EQ(section.entries.size(), 1u);
  const OutlineEntry& clause = section.entries[0];
  EXPECT_EQ(clause.text, "When PACKAGE is 'LQFP48'");
  EXPECT_EQ(Where(clause.span), "dev.daf:3:3-5:25");
  ASSERT_EQ(clause.children.size(), 2u);
  EXPECT_EQ(clause.children[1].text, "LQFP48 : 37 : 'PA14'");
  EXPECT_EQ(Where(clause.children[1].span), "dev.daf:5:5-5:25");
  // The condition's words are there to be explained.
  ASSERT_GE(facts.keywords.size(), 3u);
  EXPECT_EQ(facts.keywords[1].kind, KeywordKind::kCondition);
  EXPECT_EQ(facts.keywords[1].word, "PACKAGE");
  EXPECT_EQ(Where(facts.keywords[1].at), "dev.daf:3:8-3:15");
}

TEST(LintFacts, IncludesDefinesAndConditionalBlocksStandInTheirOwnFiles) {
  SourceFacts facts = FactsOf({{"dev.daf",
                                "Device QX1\n"
                                "#define NAME 'PA13'\n"
                                "#ifdef NAME\n"
                                "#include \"pins.inc\"\n"
                                "#endif\n"
                                "Alias {\n"
                                "  When DEV is 'QX1' :\n"
                                "    SWDIO : NAME\n"
                                "}\n"},
                               {"pins.inc", kPins}});
  ASSERT_EQ(facts.includes.size(), 1u);
  EXPECT_EQ(facts.includes[0].name, "pins.inc");
  EXPECT_EQ(facts.includes[0].file, "dev.daf");
  EXPECT_EQ(facts.includes[0].resolved, "pins.inc");
  EXPECT_EQ(Where(facts.includes[0].at), "dev.daf:4:11-4:19");
  ASSERT_EQ(facts.conditionals.size(), 1u);
  EXPECT_EQ(Where(facts.conditionals[0].span), "dev.daf:3:1-5:7");
  const NameDefinition* define = Definition(facts, NameKind::kDefine, "NAME");
  ASSERT_NE(define, nullptr);
  EXPECT_EQ(Where(define->at), "dev.daf:2:9-2:13");
  EXPECT_EQ(define->target, "'PA13'");
  EXPECT_EQ(Where(define->valueAt), "dev.daf:2:14-2:20");
  // The pin row stands in the included file; the section too.
  const NameDefinition* pin = Definition(facts, NameKind::kPin, "PA14");
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(Where(pin->at), "pins.inc:4:19-4:25");
  ASSERT_EQ(facts.sections.size(), 2u);
  EXPECT_EQ(facts.sections[0].keywordAt.file, "pins.inc");
  // The alias's target comes from the define: it is the pin as the compiler
  // read it, placed where the define's name is written.
  // The define's use is noted where its name is written.
  ASSERT_EQ(facts.uses.size(), 2u);
  EXPECT_EQ(facts.uses[0].name, "PA13");
  EXPECT_EQ(facts.uses[0].at.file, "dev.daf");
  EXPECT_EQ(facts.uses[0].at.line, 8);
  EXPECT_EQ(facts.uses[0].at.column, 13);
  EXPECT_EQ(facts.uses[1].kind, NameKind::kDefine);
  EXPECT_EQ(Where(facts.uses[1].at), "dev.daf:8:13-8:17");
}

TEST(LintFacts, GroupsTypeCategoriesAndThePinsAndCategoriesTheyUse) {
  SourceFacts facts = FactsOf({{"dev.daf", std::string("Device QX1\n") + kPins +
                                               "TypeCategory { IoType = 'io' }\n"
                                               "Group {\n"
                                               "  Always :\n"
                                               "    Debug : { PA13 : 1 }\n"
                                               "}\n"
                                               "Pin {\n"
                                               "  PA14 : {\n"
                                               "    IoType : LVCMOS33\n"
                                               "  }\n"
                                               "}\n"}});
  const NameDefinition* category = Definition(facts, NameKind::kTypeCategory, "IoType");
  ASSERT_NE(category, nullptr);
  EXPECT_EQ(Where(category->at), "dev.daf:7:16-7:22");
  const NameDefinition* group = Definition(facts, NameKind::kGroup, "Debug");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Where(group->at), "dev.daf:10:5-10:10");
  ASSERT_EQ(facts.uses.size(), 3u);
  EXPECT_EQ(facts.uses[0].name, "PA13");
  EXPECT_EQ(Where(facts.uses[0].at), "dev.daf:10:15-10:19");
  EXPECT_EQ(facts.uses[1].name, "PA14");
  EXPECT_EQ(Where(facts.uses[1].at), "dev.daf:13:3-13:7");
  EXPECT_EQ(facts.uses[2].kind, NameKind::kTypeCategory);
  EXPECT_EQ(Where(facts.uses[2].at), "dev.daf:14:5-14:11");
}

TEST(LintFacts, SoftIpCategoriesModulesAndTheirBlocks) {
  SourceFacts facts = FactsOf({{"lib.ipf",
                                "SoftIPCategory {\n"
                                "  1.0 : Uart = 'Serial'\n"
                                "}\n"
                                "Uart1 {\n"
                                "  Module : { 'uart' : 1 ; }\n"
                                "  BusExtName : { a b }\n"
                                "}\n"}},
                              "lib.ipf");
  ASSERT_EQ(facts.sections.size(), 2u);
  EXPECT_EQ(facts.sections[0].kind, SectionKind::kSoftIpCategory);
  ASSERT_EQ(facts.sections[0].entries.size(), 1u);
  EXPECT_EQ(facts.sections[0].entries[0].text, "1.0 : Uart = 'Serial'");
  const SectionFact& module = facts.sections[1];
  EXPECT_EQ(module.kind, SectionKind::kModule);
  EXPECT_EQ(module.keyword, "Uart1");
  EXPECT_EQ(Where(module.span), "lib.ipf:4:1-7:2");
  ASSERT_EQ(module.entries.size(), 2u);
  EXPECT_EQ(module.entries[0].text, "Module");
  EXPECT_EQ(module.entries[1].text, "BusExtName");
  ASSERT_NE(Definition(facts, NameKind::kModule, "Uart1"), nullptr);
  ASSERT_NE(Definition(facts, NameKind::kSoftIpCategory, "Uart"), nullptr);
}

}  // namespace
}  // namespace qelc::lint
