#include "source/condition.h"

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

std::string condition;

// --- What the linter says about a condition --------------------------------

bool IsDelimiterToken() {
  return TokenText().size() == 1 && std::string_view(",?;:[]{}|+-=()*").find(TokenText()[0]) !=
                                        std::string_view::npos;
}

std::string MustBeQuoted() {
  if (TokenText().empty()) return "a condition value is missing at the end of the input";
  if (IsDelimiterToken()) return "a condition value is missing before " + QuotedToken();
  return "a condition value must be quoted: '" + TokenText() + "'";
}

std::string ListValueMustBeQuoted() {
  if (TokenIs(",")) return "the values of an isin list are separated by blanks, not commas";
  bool unquotedValue = (CurrentTokenKind() == kWordToken || CurrentTokenKind() == kNumberToken) &&
                       !TokenText().empty() && !IsDelimiterToken();
  return unquotedValue ? MustBeQuoted() : "expected ']', found " + QuotedToken();
}

std::string IndexMustBeNumber() {
  return "the index of a condition variable must be a number, found " + QuotedToken();
}

std::string UnclosedParenthesis() {
  return "'(' in a condition has no ')': found " + QuotedToken();
}

std::string UnknownVariable() {
  const std::string& text = TokenText();
  bool nameLike = CurrentTokenKind() == kWordToken && !text.empty() && !IsDelimiterToken() &&
                  text[0] != '\'' && (FoldCase(text[0]) >= 'a' && FoldCase(text[0]) <= 'z');
  if (!nameLike) return "a condition ends with ':', found " + QuotedToken();
  std::string known;
  for (std::string_view variable : ConditionVariables()) {
    known += known.empty() ? "" : ", ";
    known += variable;
  }
  return "unknown condition variable " + text + "; known: " + known;
}

constexpr std::string_view kConditionSyntax = "condition-syntax";
const std::string_view kMissingOperand =
    DeclareWarning("condition-missing-operand", true,
                   "an 'and' or 'or' of a condition with nothing on one side");
// Off unless asked for: the language accepts a variable alone, and sources use it.
const std::string_view kMissingTest =
    DeclareWarning("condition-missing-test", false,
                   "a condition variable without is, isnot, isin or isnotin");

// `side` is "before" or "after" the keyword.
void WarnMissingOperand(const char* side, const char* keyword) {
  if (Linting()) {
    Warn(kMissingOperand, std::string("nothing ") + side + " '" + keyword + "' in the condition");
  }
}

// --- Reading ---------------------------------------------------------------

// Appends the current token to the condition text; the caller consumes it.
void Accept() {
  CheckTextLength(condition + '\\' + TokenText(), kConditionLimit);
  condition += '\\';
  condition += TokenText();
}

void AcceptText(const char* expected, Explanation explanation = {kConditionSyntax}) {
  Accept();
  ExpectText(expected, explanation);
}

void AcceptKind(TokenKind kind, Explanation explanation) {
  Accept();
  ExpectKind(kind, explanation);
}

// Accepts a keyword that the caller has already recognised.
void AcceptWord() {
  Accept();
  SkipToken();
}

// test -> ('is' | 'isnot') string | ('isin' | 'isnotin') '[' string* ']'
// Returns false when there is no test.
bool ReadTest() {
  if (TokenIs("is") || TokenIs("isnot")) {
    AcceptWord();
    AcceptKind(kStringToken, {kConditionSyntax, MustBeQuoted});
  } else if (TokenIs("isin") || TokenIs("isnotin")) {
    AcceptWord();
    AcceptText("[");
    while (CurrentTokenKind() == kStringToken) AcceptKind(kStringToken, {kConditionSyntax});
    AcceptText("]", {kConditionSyntax, ListValueMustBeQuoted});
  } else {
    return false;
  }
  return true;
}

// primary -> '(' condition ')' | variable ('[' number ']')* [test] | nothing
// Returns false for nothing.
bool ReadPrimary() {
  if (TokenIs("(")) {
    AcceptText("(");
    ReadCondition();
    AcceptText(")", {kConditionSyntax, UnclosedParenthesis});
  } else if (CurrentTokenKind() == kVariableToken) {
    TextPoint variable = CurrentToken().start;
    std::string name = Linting() ? TokenText() : std::string();
    AcceptKind(kVariableToken, {kConditionSyntax});
    while (TokenIs("[")) {
      AcceptText("[");
      AcceptKind(kNumberToken, {kConditionSyntax, IndexMustBeNumber});
      AcceptText("]");
    }
    if (!ReadTest() && Linting()) {
      WarnAt(variable, kMissingTest,
             "condition variable " + name + " has no test (is, isnot, isin, isnotin)");
    }
  } else {
    return false;
  }
  return true;
}

// Reads `read` terms joined by `keyword`; an empty term beside the keyword is
// almost surely a part left out.
// An empty term in front of the first keyword is reported there; every later
// empty term right after its keyword, so "a and and b" is one warning.
template <typename Read>
void ReadJoined(const char* keyword, Read read) {
  if (!read() && TokenIs(keyword)) WarnMissingOperand("before", keyword);
  while (TokenIs(keyword)) {
    AcceptWord();
    if (!read()) WarnMissingOperand("after", keyword);
  }
}

// and-term -> primary ('and' primary)*
bool ReadAndTerm() {
  bool any = false;
  ReadJoined("and", [&any] {
    bool read = ReadPrimary();
    any = any || read;
    return read;
  });
  return any;
}

void ReadClause(const char* keyword) {
  ClearCondition();
  ExpectText(keyword);
  ReadCondition();
  ExpectText(":", {kConditionSyntax, UnknownVariable});
}

}  // namespace

const std::string& ConditionText() { return condition; }
void ClearCondition() { condition.clear(); }

// condition -> and-term ('or' and-term)*
void ReadCondition() { ReadJoined("or", ReadAndTerm); }

void ReadWhen() { ReadClause("When"); }
void ReadSoftIPWhen() { ReadClause("_when"); }

}  // namespace qelc
