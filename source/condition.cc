#include "source/condition.h"

#include "source/expect.h"
#include "source/token_stream.h"

namespace qelc {

namespace {

std::string condition;

// Appends the current token to the condition text; the caller consumes it.
void Accept() {
  CheckTextLength(condition + '\\' + TokenText(), kConditionLimit);
  condition += '\\';
  condition += TokenText();
}

void AcceptText(const char* expected) {
  Accept();
  ExpectText(expected);
}

void AcceptKind(TokenKind kind) {
  Accept();
  ExpectKind(kind);
}

// Accepts a keyword that the caller has already recognised.
void AcceptWord() {
  Accept();
  SkipToken();
}

// test -> ('is' | 'isnot') string | ('isin' | 'isnotin') '[' string* ']'
void ReadTest() {
  if (TokenIs("is") || TokenIs("isnot")) {
    AcceptWord();
    AcceptKind(kStringToken);
  } else if (TokenIs("isin") || TokenIs("isnotin")) {
    AcceptWord();
    AcceptText("[");
    while (CurrentTokenKind() == kStringToken) AcceptKind(kStringToken);
    AcceptText("]");
  }
}

// primary -> '(' condition ')' | variable ('[' number ']')* [test] | nothing
void ReadPrimary() {
  if (TokenIs("(")) {
    AcceptText("(");
    ReadCondition();
    AcceptText(")");
  } else if (CurrentTokenKind() == kVariableToken) {
    AcceptKind(kVariableToken);
    while (TokenIs("[")) {
      AcceptText("[");
      AcceptKind(kNumberToken);
      AcceptText("]");
    }
    ReadTest();
  }
}

// and-term -> primary ('and' primary)*
void ReadAndTerm() {
  ReadPrimary();
  while (TokenIs("and")) {
    AcceptWord();
    ReadPrimary();
  }
}

void ReadClause(const char* keyword) {
  ClearCondition();
  ExpectText(keyword);
  ReadCondition();
  ExpectText(":");
}

}  // namespace

const std::string& ConditionText() { return condition; }
void ClearCondition() { condition.clear(); }

// condition -> and-term ('or' and-term)*
void ReadCondition() {
  ReadAndTerm();
  while (TokenIs("or")) {
    AcceptWord();
    ReadAndTerm();
  }
}

void ReadWhen() { ReadClause("When"); }
void ReadSoftIPWhen() { ReadClause("_when"); }

}  // namespace qelc
