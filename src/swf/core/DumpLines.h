#pragma once

// The line writer the dumps share: `name = value` fields, indented.

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "swf/core/Records.h"

namespace movara::swf::dump {

class TLines {
 public:
  explicit TLines(int indent) : indent_(indent) {}
  // A line of its own: `name = value`. Texts that are the tag's own
  // strings are quoted by the caller (Quoted).
  template <class T>
  TLines& Field(const char* name, const T& value) {
    Pad() << name << " = " << Show(value) << '\n';
    return *this;
  }
  // A line of free text.
  TLines& Line(const std::string& text) {
    Pad() << text << '\n';
    return *this;
  }
  static std::string Quoted(const std::string& text) { return '"' + text + '"'; }
  TLines Nested() const { return TLines(indent_ + 2, out_); }
  void Append(const std::string& text) { *out_ << text; }
  int Indent() const { return indent_; }
  std::string Text() const { return out_->str(); }

  static std::string Show(const std::string& v) { return v; }
  static std::string Show(const char* v) { return v; }
  static std::string Show(bool v) { return v ? "1" : "0"; }
  template <class T>
  static std::string Show(const T& v) {
    std::ostringstream s;
    s << +v;
    return s.str();
  }

 private:
  TLines(int indent, std::shared_ptr<std::ostringstream> out) : indent_(indent), out_(std::move(out)) {}
  std::ostream& Pad() { return *out_ << std::string(static_cast<std::size_t>(indent_), ' '); }

  int indent_;
  std::shared_ptr<std::ostringstream> out_ = std::make_shared<std::ostringstream>();
};

std::string ShowRect(const TSWFRect& r);
std::string ShowMatrix(const TSWFMatrix& m);
std::string ShowColorTransform(const TSWFColorTransform& c);
// #RRGGBB, or #RRGGBBAA with alpha.
std::string ShowColor(const TSWFRGBA& c, bool withAlpha);
std::string ShowHex(std::uint32_t v);

}  // namespace movara::swf::dump
