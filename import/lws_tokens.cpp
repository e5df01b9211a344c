// Token reader of the LightWave scene parser.
#include "import/lws_tokens.h"

#include "import/lws_messages.h"

#include <charconv>
#include <cmath>

LWSEof::LWSEof() : LWSException(lws::msg::UnexpectedEnd) {}

LWSError::LWSError(int line, const std::string& what)
    : LWSException(std::string(lws::msg::SceneLine) + " " + std::to_string(line) + ": " + what) {}

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The whole of `text` as a finite double (a leading '+' is allowed, as the
// C library conversions allow it).
bool WholeNumber(std::string_view text, double& value, size_t& stoppedAt) {
  size_t start = 0;
  if (!text.empty() && text[0] == '+') start = 1;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  stoppedAt = size_t(result.ptr - text.data());
  return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

}  // namespace

LwsToken ClassifyLwsToken(std::string_view text, int line) {
  LwsToken token;
  token.text = text;
  token.line = line;
  {
    size_t start = (!text.empty() && text[0] == '+') ? 1 : 0;
    long long value = 0;
    const auto result = std::from_chars(text.data() + start, text.data() + text.size(), value, 10);
    if (start < text.size() && result.ec == std::errc() && result.ptr == text.data() + text.size()) {
      token.kind = LwsTokenKind::Integer;
      token.integer = value;
      token.number = double(value);
      return token;
    }
  }
  double number = 0;
  size_t stoppedAt = 0;
  if (WholeNumber(text, number, stoppedAt)) {
    token.kind = LwsTokenKind::Number;
    token.number = number;
    return token;
  }
  if (stoppedAt < text.size() && text[stoppedAt] == ',') {
    std::string withPoint(text);
    withPoint[stoppedAt] = '.';
    if (WholeNumber(withPoint, number, stoppedAt)) {
      token.kind = LwsTokenKind::Number;
      token.number = number;
      return token;
    }
  }
  return token;
}

void LwsTokenReader::SkipSeparators() {
  while (position_ < text_.size() && IsSeparator(text_[position_])) {
    if (text_[position_] == '\n') ++line_;
    ++position_;
  }
}

LwsToken LwsTokenReader::Next() {
  SkipSeparators();
  if (position_ >= text_.size()) throw LWSEof();
  const size_t start = position_;
  while (position_ < text_.size() && !IsSeparator(text_[position_])) ++position_;
  if (position_ - start > kMaxTokenLength) throw LWSError(line_, lws::msg::TokenTooLong);
  return ClassifyLwsToken(text_.substr(start, position_ - start), line_);
}

long long LwsTokenReader::ReadInteger() {
  const LwsToken token = Next();
  if (token.kind != LwsTokenKind::Integer)
    throw LWSError(token.line, std::string(lws::msg::ExpectedInteger) + " " + std::string(token.text));
  return token.integer;
}

double LwsTokenReader::ReadNumber() {
  const LwsToken token = Next();
  if (token.kind == LwsTokenKind::Word)
    throw LWSError(token.line, std::string(lws::msg::ExpectedNumber) + " " + std::string(token.text));
  return token.number;
}

void LwsTokenReader::Expect(std::string_view keyword) {
  const LwsToken token = Next();
  if (token.text != keyword)
    throw LWSError(token.line, std::string(lws::msg::ExpectedKeyword) + " " + std::string(keyword) + ", " +
                                   lws::msg::Found + " " + std::string(token.text));
}

std::string LwsTokenReader::ReadPath() {
  SkipSeparators();
  if (position_ >= text_.size()) throw LWSEof();
  std::string path;
  while (position_ < text_.size()) {
    const char c = text_[position_];
    if (c == '\t' || c == '\n' || c == '\r') break;
    ++position_;
    if (c == ' ') continue;
    if (path.size() == kMaxTokenLength) throw LWSError(line_, lws::msg::TokenTooLong);
    path += c;
  }
  return path;
}
