// The token reader of the LightWave scene parser. The scene text is a stream
// of tokens separated by space, tab, line feed and carriage return; each
// token knows the line it stands on.
//
// This parser is the one place of the system that signals errors by
// exceptions: LWSEof when the text ends while a token is needed, LWSError for
// a token of the wrong kind. Both derive from LWSException and never leave
// the LightWave importer (ImportLwsScene turns them into messages).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

class LWSException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text ended while a token was needed.
class LWSEof : public LWSException {
 public:
  LWSEof();
};

// A token of the wrong kind, or one that is too long.
class LWSError : public LWSException {
 public:
  LWSError(int line, const std::string& what);
};

// How a token converts.
enum class LwsTokenKind { Integer, Number, Word };

struct LwsToken {
  std::string_view text;
  int line = 1;
  LwsTokenKind kind = LwsTokenKind::Word;
  long long integer = 0;  // valid for Integer
  double number = 0;      // valid for Integer and Number
};

// Classifies one token: an integer when the whole token converts as a
// decimal integer; else a number when the whole token converts as a finite
// floating-point number; else, when the conversion stops at a ',', the comma
// is taken as the decimal point and the token is tried again ("0,5" is 0.5);
// else a word.
LwsToken ClassifyLwsToken(std::string_view text, int line);

class LwsTokenReader {
 public:
  static constexpr size_t kMaxTokenLength = 511;

  explicit LwsTokenReader(std::string_view text) : text_(text) {}

  // The next token; LWSEof at the end of the text, LWSError for a token
  // longer than kMaxTokenLength.
  LwsToken Next();
  // The next token as an integer (LWSError when it is not one).
  long long ReadInteger();
  // The next token as a number (an integer counts; LWSError for a word).
  double ReadNumber();
  // The next token must be exactly `keyword` (LWSError otherwise).
  void Expect(std::string_view keyword);
  // A path: skips leading separators, then takes the rest of the line up to
  // a tab, line feed or carriage return, dropping every space in it.
  std::string ReadPath();

  int line() const { return line_; }

 private:
  void SkipSeparators();

  std::string_view text_;
  size_t position_ = 0;
  int line_ = 1;
};
