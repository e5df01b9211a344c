// A word reader over text in memory, for the VUE file: words are runs of
// characters between spaces, tabs, line feeds and form feeds; a line read
// takes everything up to and including the next carriage return or line
// feed. Words longer than kMaxWordLength are cut (the rest is passed over).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace importer {

inline constexpr size_t kMaxWordLength = 511;

class WordReader {
 public:
  explicit WordReader(std::span<const uint8_t> text) : text_(text) {}
  // The next word; false at the end of the text.
  bool Word(std::string& word);
  // The rest of the current line, including its end.
  bool Line(std::string& line);
  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  std::span<const uint8_t> text_;
  size_t pos_ = 0;
};

// Decimal conversions as the C library makes them: text that is not a
// number gives 0.
int WordToInt(const std::string& word);
double WordToDouble(const std::string& word);

}  // namespace importer
