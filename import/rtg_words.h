// The word reader of the Alias RTG scene and animation files: words are
// runs of characters between spaces, tabs, line feeds, form feeds (and
// carriage returns, which a text-mode read would drop); numbers convert like
// the C library's decimal conversions, text that is no number giving 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class RtgWordReader {
 public:
  // Longer words and lines are cut to this length (the rest is passed over).
  static constexpr size_t kMaxWordLength = 511;

  explicit RtgWordReader(std::string_view text) : text_(text) {}

  // The next word; false at the end of the text.
  bool Next(std::string& word);
  // The rest of the current line, without its line end.
  std::string RestOfLine();
  // Bytes not yet read: an upper bound for the words still to come.
  size_t Remaining() const { return text_.size() - position_; }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

// Leading decimal integer of a word (0 when there is none; clamped to int).
int RtgInteger(std::string_view word);
// Leading decimal number of a word (0 when there is none or it is not finite).
double RtgNumber(std::string_view word);
