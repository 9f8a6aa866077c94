#include "decompile/ipf_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace qelc::decompile {
namespace {

// A pool of the given strings, in order, and the reference of each.
struct Pool {
  std::string bytes;
  StringRef Add(std::string_view text) {
    StringRef ref = StringRef(bytes.size());
    bytes.append(text).push_back('\0');
    return ref;
  }
};

std::string Written(const SoftIPLibrary& library, const Pool& pool,
                    std::vector<std::string>& problems) {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  WriteIpfSource(library, pool.bytes, "lib.ipb", out, problems);
  std::fclose(out);
  std::string written(text, size);
  std::free(text);
  return written;
}

TEST(IpfSource, WritesEachFieldInItsSourceForm) {
  Pool pool;
  SoftIPLibrary library;
  library.categories.Append({2.5f, pool.Add("'Glue'"), pool.Add("it's")});
  SoftIPModule module;
  module.name = pool.Add("Uart");
  module.moduleName = pool.Add("uart");
  module.moduleNumber = -56;
  StringRef wire = pool.Add("wire");
  StringRef empty = pool.Add("");
  module.inputs.Append({module.moduleName, wire, wire, wire, 1, 0, empty, pool.Add("lsb")});
  module.macroStatements.Append({pool.Add("\\PACKAGE\\is\\'P\\44'"), pool.Add("a <= 1;\n\n")});
  library.modules.Append(std::move(module));
  std::vector<std::string> problems;
  std::string source = Written(library, pool, problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_NE(source.find("  2.5 : 'Glue' = 'it\\'s'\n"), std::string::npos) << source;
  EXPECT_NE(source.find("Module : { uart : 200 ; }"), std::string::npos) << source;
  EXPECT_NE(source.find("uart : wire : wire : wire : 1 : 0 : : lsb ;"), std::string::npos)
      << source;
  EXPECT_NE(source.find("_when PACKAGE is 'P\\\\44' : 'a <= 1;' , ''"), std::string::npos)
      << source;
}

TEST(IpfSource, OrdersBlocksAsThePoolHoldsTheirStrings) {
  Pool pool;
  SoftIPLibrary library;
  SoftIPModule module;
  module.name = pool.Add("M");
  module.busExtNames.Append(pool.Add("B1"));
  module.equationParameters.Append(pool.Add("e"));
  module.busExtNames.Append(pool.Add("B2"));
  library.modules.Append(std::move(module));
  pool.Add("");  // the empty Module text, added when the module ends
  library.categories.Append({1.0f, pool.Add("T"), pool.Add("x")});
  std::vector<std::string> problems;
  std::string source = Written(library, pool, problems);
  EXPECT_TRUE(problems.empty());
  size_t first = source.find("BusExtName : { B1 }");
  size_t equation = source.find("Equation : { MacroName ( e ) ; }");
  size_t second = source.find("BusExtName : { B2 }");
  size_t category = source.find("SoftIPCategory {\n  1 : T = 'x'\n}");
  EXPECT_LT(first, equation) << source;
  EXPECT_LT(equation, second) << source;
  EXPECT_LT(second, category) << source;
  EXPECT_NE(category, std::string::npos) << source;
}

TEST(IpfSource, NamesEveryFieldNoSourceGives) {
  Pool pool;
  SoftIPLibrary library;
  library.categories.Append({-1.0f, pool.Add("a b"), pool.Add("v")});
  library.categories.Append({-1.0f, pool.Add("c"), pool.Add("v")});
  SoftIPModule module;
  module.name = pool.Add("softipcategory");
  module.moduleName = pool.Add("");
  module.moduleNumber = 3;
  module.outputs.Append({module.moduleName, pool.Add("x"), pool.Add("twelve chars"), pool.Add("y"),
                         -1, 0, module.moduleName});
  module.macroStatements.Append({pool.Add("\\PACKAGE\\is"), pool.Add("no line end")});
  library.modules.Append(std::move(module));
  std::vector<std::string> problems;
  Written(library, pool, problems);
  std::vector<std::string> paths;
  for (const std::string& problem : problems) paths.push_back(problem.substr(0, problem.find(':')));
  EXPECT_EQ(paths, (std::vector<std::string>{
                       "categories[1].number", "categories[0].number", "categories[0].name",
                       "categories[1].number", "modules[0].name", "modules[0].moduleNumber",
                       "modules[0].outputs[0].text1", "modules[0].outputs[0].text3",
                       "modules[0].outputs[0].number1", "modules[0].macroStatements[0].condition",
                       "modules[0].macroStatements[0].statements"}));
}

}  // namespace
}  // namespace qelc::decompile
