#include <cstring>

#include "maxplugin/batch.h"
#include "maxplugin/batch_messages.h"

namespace zvlplay {

int BatchTokenizer::NextLine() {
  error = nullptr;
  for (;;) {
    if (pos_ >= text_.size()) return 0;
    ++line_;
    std::memset(buffer_, 0, sizeof buffer_);
    size_t length = 0;
    bool tooLong = false;
    // A line ends at a carriage return, a line feed, or the pair.
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '\r') {
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        break;
      }
      if (c == '\n') break;
      if (c == '\t' || c == '\0') c = ' ';
      if (length < kBatchLineLength - 1)
        buffer_[length++] = c;
      else
        tooLong = true;
    }
    if (tooLong) {
      error = msg::TooLongLine;
      return -1;
    }
    tokens_.clear();
    for (size_t i = 0; i < length;) {
      while (i < length && buffer_[i] == ' ') ++i;
      if (i >= length) break;
      const size_t start = i;
      while (i < length && buffer_[i] != ' ') ++i;
      if (int(tokens_.size()) == kBatchMaxTokens) {
        error = msg::TooManyTokens;
        return -1;
      }
      tokens_.emplace_back(buffer_ + start, i - start);
    }
    if (tokens_.empty() || tokens_[0] == "REM" || tokens_[0].front() == ';') continue;
    return 1;
  }
}

}  // namespace zvlplay
