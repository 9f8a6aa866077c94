#include "source/condition.h"

#include "source/ascii.h"
#include "source/diagnostics.h"
#include "source/expect.h"
#include "source/suggest.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

// --- What the linter says about a condition --------------------------------

std::string MustBeQuoted(const Parser& p) {
  if (TokenText(p).empty()) return "a condition value is missing at the end of the input";
  if (IsDelimiterToken(p)) return "a condition value is missing before " + QuotedToken(p);
  p.diagnostics.ProposeReplacement(CurrentToken(p).start, "'" + std::string(TokenText(p)) + "'");
  return "a condition value must be quoted: '" + std::string(TokenText(p)) + "'";
}

std::string ListValueMustBeQuoted(const Parser& p) {
  if (TokenIs(p, ",")) return "the values of an isin list are separated by blanks, not commas";
  bool unquotedValue = (CurrentTokenKind(p) == kWordToken || CurrentTokenKind(p) == kNumberToken) &&
                       !TokenText(p).empty() && !IsDelimiterToken(p);
  return unquotedValue ? MustBeQuoted(p) : "expected ']', found " + QuotedToken(p);
}

std::string IndexMustBeNumber(const Parser& p) {
  return "the index of a condition variable must be a number, found " + QuotedToken(p);
}

std::string UnclosedParenthesis(const Parser& p) {
  return "'(' in a condition has no ')': found " + QuotedToken(p);
}

std::string UnknownVariable(const Parser& p) {
  std::string_view text = TokenText(p);
  bool nameLike = CurrentTokenKind(p) == kWordToken && !text.empty() && !IsDelimiterToken(p) &&
                  text[0] != '\'' && (FoldCase(text[0]) >= 'a' && FoldCase(text[0]) <= 'z');
  if (!nameLike) return "a condition ends with ':', found " + QuotedToken(p);
  std::string known;
  Suggestion suggestion(text);
  for (std::string_view variable : ConditionVariables()) {
    known += known.empty() ? "" : ", ";
    known += variable;
    suggestion.Consider(variable);
  }
  Propose(suggestion, p.diagnostics, CurrentToken(p).start);
  return "unknown condition variable " + std::string(text) + "; known: " + known +
         suggestion.Text();
}

constexpr std::string_view kConditionSyntax = "condition-syntax";

// `side` is "before" or "after" the keyword.
void WarnMissingOperand(Parser& p, const char* side, std::string_view keyword) {
  if (Linting(p)) {
    Warn(p, kConditionMissingOperand,
         std::string("nothing ") + side + " '" + std::string(keyword) + "' in the condition");
  }
}

// --- Reading ---------------------------------------------------------------

// Appends the current token to the condition text; the caller consumes it.
void Accept(Parser& p) {
  CheckTextLength(p, p.condition + '\\' + std::string(TokenText(p)), kConditionLimit);
  // The variables and the words that join and compare them, for a reader who
  // asks what one means.
  if (p.facts && (CurrentTokenKind(p) == kVariableToken ||
                  (CurrentTokenKind(p) == kWordToken && !IsDelimiterToken(CurrentToken(p))))) {
    p.facts->Keyword(KeywordKind::kCondition, CurrentSpan(p), TokenText(p));
  }
  p.condition += '\\';
  p.condition += TokenText(p);
}

void AcceptText(Parser& p, const char* expected, Explanation explanation = {kConditionSyntax}) {
  Accept(p);
  ExpectText(p, expected, explanation);
}

void AcceptKind(Parser& p, TokenKind kind, Explanation explanation) {
  Accept(p);
  ExpectKind(p, kind, explanation);
}

// Accepts a keyword that the caller has already recognised.
void AcceptWord(Parser& p) {
  Accept(p);
  SkipToken(p);
}

// test -> ('is' | 'isnot') string | ('isin' | 'isnotin') '[' string* ']'
// Returns false when there is no test.
bool ReadTest(Parser& p) {
  const ConditionOperatorWord* test = FindConditionTest(TokenText(p));
  if (!test) return false;
  AcceptWord(p);
  if (test->operand == ConditionOperand::kValue) {
    AcceptKind(p, kStringToken, {kConditionSyntax, MustBeQuoted});
  } else {
    AcceptText(p, "[");
    while (CurrentTokenKind(p) == kStringToken) AcceptKind(p, kStringToken, {kConditionSyntax});
    AcceptText(p, "]", {kConditionSyntax, ListValueMustBeQuoted});
  }
  return true;
}

// primary -> '(' condition ')' | variable ('[' number ']')* [test] | nothing
// Returns false for nothing.
bool ReadPrimary(Parser& p) {
  if (TokenIs(p, "(")) {
    AcceptText(p, "(");
    ReadCondition(p);
    AcceptText(p, ")", {kConditionSyntax, UnclosedParenthesis});
  } else if (CurrentTokenKind(p) == kVariableToken) {
    TextPoint variable = CurrentToken(p).start;
    std::string name = Linting(p) ? std::string(TokenText(p)) : std::string();
    AcceptKind(p, kVariableToken, {kConditionSyntax});
    while (TokenIs(p, "[")) {
      AcceptText(p, "[");
      AcceptKind(p, kNumberToken, {kConditionSyntax, IndexMustBeNumber});
      AcceptText(p, "]");
    }
    if (!ReadTest(p) && Linting(p)) {
      WarnAt(p, variable, kConditionMissingTest,
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
void ReadJoined(Parser& p, std::string_view keyword, Read read) {
  if (!read() && TokenIs(p, keyword)) WarnMissingOperand(p, "before", keyword);
  while (TokenIs(p, keyword)) {
    AcceptWord(p);
    if (!read()) WarnMissingOperand(p, "after", keyword);
  }
}

// and-term -> primary ('and' primary)*
bool ReadAndTerm(Parser& p) {
  bool any = false;
  ReadJoined(p, kAndWord, [&p, &any] {
    bool read = ReadPrimary(p);
    any = any || read;
    return read;
  });
  return any;
}

void ReadClause(Parser& p, std::string_view keyword) {
  p.condition.clear();
  ExpectText(p, keyword);
  ReadCondition(p);
  ExpectText(p, ":", {kConditionSyntax, UnknownVariable});
}

}  // namespace

const WarningCheck kConditionMissingOperand{
    "condition-missing-operand", true, "an 'and' or 'or' of a condition with nothing on one side"};
// Off unless asked for: the language accepts a variable alone, and sources use
// it.
const WarningCheck kConditionMissingTest{"condition-missing-test", false,
                                         "a condition variable without is, isnot, isin or isnotin"};

// condition -> and-term ('or' and-term)*
void ReadCondition(Parser& p) {
  ReadJoined(p, kOrWord, [&p] { return ReadAndTerm(p); });
}

void ReadWhen(Parser& p) { ReadClause(p, kWhenWord); }
void ReadSoftIPWhen(Parser& p) { ReadClause(p, "_when"); }

}  // namespace qelc
