// The host's string: owned text that converts to a C string.
#pragma once

#include <cstddef>
#include <string>

class CStr {
 public:
  CStr() = default;
  CStr(const char* text) : text_(text ? text : "") {}
  CStr(std::string text) : text_(std::move(text)) {}
  operator char*() { return text_.data(); }
  operator const char*() const { return text_.c_str(); }
  const char* data() const { return text_.c_str(); }
  size_t Length() const { return text_.size(); }
  bool isNull() const { return text_.empty(); }

 private:
  std::string text_;
};
