#include "app/layout.h"

#include "app/app_error.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>

namespace fablewick {

void ThrowLayoutError(std::string_view source, int line, std::string_view what) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, ", line %d: ", line);
  throw AppError("Layout " + std::string(source) + prefix + std::string(what));
}

namespace {

const char* KindName(LayoutValue::Kind kind) {
  switch (kind) {
  case LayoutValue::Kind::String: return "a string";
  case LayoutValue::Kind::Integer: return "a number";
  case LayoutValue::Kind::Identifier: return "a name";
  case LayoutValue::Kind::Set: return "a set";
  }
  return "a value";
}

void ExpectKind(const LayoutProperty& p, LayoutValue::Kind kind) {
  if (p.value.kind != kind) {
    ThrowLayoutError(p.source, p.line,
                     p.name + " should be " + KindName(kind) + ", not " + KindName(p.value.kind));
  }
}

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads one line at a time; each call of a Parse* function consumes text of
// the current line only, so every error knows its line.
class Parser {
public:
  Parser(std::string_view text, std::string_view source) : text_(text), source_(source) {}

  LayoutObject ParseDocument() {
    std::optional<LayoutObject> root;
    while (NextLine()) {
      if (root) Fail("text after the end of the top-level object");
      if (!StartsWithWord("object")) Fail("expected 'object'");
      root = ParseObject(0);
    }
    if (!root) ThrowLayoutError(source_, lineNumber_ > 0 ? lineNumber_ : 1, "the layout is empty");
    return std::move(*root);
  }

private:
  static constexpr int MaxDepth = 32;

  // Moves to the next line that is neither blank nor a comment; false at the
  // end of the text.
  bool NextLine() {
    while (offset_ < text_.size()) {
      std::size_t end = text_.find('\n', offset_);
      if (end == std::string_view::npos) end = text_.size();
      line_ = text_.substr(offset_, end - offset_);
      if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
      offset_ = end + 1;
      ++lineNumber_;
      pos_ = 0;
      SkipSpaces();
      if (pos_ < line_.size() && line_.substr(pos_, 2) != "//") return true;
    }
    return false;
  }

  [[noreturn]] void Fail(std::string_view what) const { ThrowLayoutError(source_, lineNumber_, what); }

  void SkipSpaces() {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
  }

  bool AtLineEnd() {
    SkipSpaces();
    return pos_ >= line_.size() || line_.substr(pos_, 2) == "//";
  }

  void ExpectLineEnd() {
    if (!AtLineEnd()) Fail("unexpected text '" + std::string(line_.substr(pos_)) + "'");
  }

  bool StartsWithWord(std::string_view word) {
    std::size_t save = pos_;
    std::string name = ReadName();
    pos_ = save;
    return name == word;
  }

  std::string ReadName() {
    SkipSpaces();
    std::size_t start = pos_;
    if (pos_ < line_.size() && IsNameStart(line_[pos_])) {
      ++pos_;
      while (pos_ < line_.size() && IsNameChar(line_[pos_])) ++pos_;
    }
    return std::string(line_.substr(start, pos_ - start));
  }

  std::string ExpectName(std::string_view what) {
    std::string name = ReadName();
    if (name.empty()) Fail("expected " + std::string(what));
    return name;
  }

  // "object Name: Class" has been recognised on the current line.
  LayoutObject ParseObject(int depth) {
    if (depth >= MaxDepth) Fail("objects nested too deeply");
    LayoutObject object;
    object.line = lineNumber_;
    object.source = std::string(source_);
    ReadName(); // "object"
    object.name = ExpectName("the object's name");
    SkipSpaces();
    if (pos_ >= line_.size() || line_[pos_] != ':') Fail("expected ':' after the object's name");
    ++pos_;
    object.className = ExpectName("the object's class");
    ExpectLineEnd();

    while (true) {
      if (!NextLine()) {
        ThrowLayoutError(source_, object.line, "object " + object.name + " has no 'end'");
      }
      if (StartsWithWord("end")) {
        ReadName();
        ExpectLineEnd();
        return object;
      }
      if (StartsWithWord("object")) {
        object.children.push_back(ParseObject(depth + 1));
        continue;
      }
      object.properties.push_back(ParseProperty());
    }
  }

  LayoutProperty ParseProperty() {
    LayoutProperty property;
    property.line = lineNumber_;
    property.source = std::string(source_);
    property.name = ExpectName("a property name, 'object' or 'end'");
    while (pos_ < line_.size() && line_[pos_] == '.') {
      ++pos_;
      std::size_t before = pos_;
      std::string part = ReadName();
      if (part.empty() || pos_ != before + part.size()) Fail("expected a name after '.'");
      property.name += "." + part;
    }
    SkipSpaces();
    if (pos_ >= line_.size() || line_[pos_] != '=') Fail("expected '=' after " + property.name);
    ++pos_;
    property.value = ParseValue();
    ExpectLineEnd();
    return property;
  }

  LayoutValue ParseValue() {
    SkipSpaces();
    if (pos_ >= line_.size()) Fail("expected a value");
    LayoutValue value;
    char c = line_[pos_];
    if (c == '\'') {
      value.kind = LayoutValue::Kind::String;
      value.text = ReadString();
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      value.kind = LayoutValue::Kind::Integer;
      value.number = ReadInteger();
    } else if (c == '[') {
      value.kind = LayoutValue::Kind::Set;
      value.items = ReadSet();
    } else if (IsNameStart(c)) {
      value.kind = LayoutValue::Kind::Identifier;
      value.text = ReadName();
    } else {
      Fail(std::string("unexpected character '") + c + "'");
    }
    return value;
  }

  std::string ReadString() {
    std::string text;
    ++pos_; // opening quote
    while (true) {
      if (pos_ >= line_.size()) Fail("unterminated string");
      char c = line_[pos_++];
      if (c != '\'') {
        text += c;
      } else if (pos_ < line_.size() && line_[pos_] == '\'') {
        text += '\'';
        ++pos_;
      } else {
        return text;
      }
    }
  }

  std::int64_t ReadInteger() {
    std::size_t start = pos_;
    if (line_[pos_] == '-') ++pos_;
    while (pos_ < line_.size() && std::isdigit(static_cast<unsigned char>(line_[pos_]))) ++pos_;
    std::string_view digits = line_.substr(start, pos_ - start);
    std::int64_t number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    bool glued = pos_ < line_.size() && IsNameChar(line_[pos_]);
    if (error != std::errc() || end != digits.data() + digits.size() || glued) {
      std::string message = "'";
      message.append(digits);
      message.append("' is not a valid number");
      Fail(message);
    }
    return number;
  }

  std::vector<std::string> ReadSet() {
    std::vector<std::string> items;
    ++pos_; // '['
    SkipSpaces();
    if (pos_ < line_.size() && line_[pos_] == ']') {
      ++pos_;
      return items;
    }
    while (true) {
      items.push_back(ExpectName("a name in the set"));
      SkipSpaces();
      if (pos_ >= line_.size()) Fail("unterminated set");
      char c = line_[pos_++];
      if (c == ']') return items;
      if (c != ',') Fail("expected ',' or ']' in the set");
    }
  }

  std::string_view text_;
  std::string_view source_;
  std::size_t offset_ = 0;
  std::string_view line_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
};

} // namespace

const std::string& LayoutProperty::AsString() const {
  ExpectKind(*this, LayoutValue::Kind::String);
  return value.text;
}

int LayoutProperty::AsInt() const {
  ExpectKind(*this, LayoutValue::Kind::Integer);
  if (value.number < INT_MIN || value.number > INT_MAX) {
    ThrowLayoutError(source, line, name + " is out of range");
  }
  return static_cast<int>(value.number);
}

const std::string& LayoutProperty::AsIdentifier() const {
  ExpectKind(*this, LayoutValue::Kind::Identifier);
  return value.text;
}

bool LayoutProperty::AsBool() const {
  const std::string& text = AsIdentifier();
  if (text == "True") return true;
  if (text == "False") return false;
  ThrowLayoutError(source, line, name + " should be True or False, not " + text);
}

const std::vector<std::string>& LayoutProperty::AsSet() const {
  ExpectKind(*this, LayoutValue::Kind::Set);
  return value.items;
}

std::uint32_t LayoutProperty::AsColor() const {
  if (value.kind == LayoutValue::Kind::Integer) return static_cast<std::uint32_t>(AsInt());
  auto color = ColorFromIdentifier(AsIdentifier());
  if (!color) ThrowLayoutError(source, line, "unknown colour " + value.text);
  return *color;
}

const LayoutProperty* LayoutObject::Find(std::string_view propertyName) const {
  for (const auto& property : properties) {
    if (property.name == propertyName) return &property;
  }
  return nullptr;
}

LayoutObject ParseLayout(std::string_view text, std::string_view source) {
  return Parser(text, source).ParseDocument();
}

std::optional<std::uint32_t> ColorFromIdentifier(std::string_view name) {
  struct Named {
    std::string_view name;
    std::uint32_t value;
  };
  // System colour indexes are those of GetSysColor.
  static constexpr Named colors[] = {
      {"clBlack", 0x000000},  {"clWhite", 0xFFFFFF},   {"clRed", 0x0000FF},
      {"clLime", 0x00FF00},   {"clBlue", 0xFF0000},    {"clGray", 0x808080},
      {"clSilver", 0xC0C0C0}, {"clNavy", 0x800000},    {"clGreen", 0x008000},
      {"clBtnFace", SystemColorFlag | 15u},  {"clWindow", SystemColorFlag | 5u},
      {"clWindowText", SystemColorFlag | 8u}, {"clBtnText", SystemColorFlag | 18u},
  };
  for (const auto& color : colors) {
    if (color.name == name) return color.value;
  }
  return std::nullopt;
}

} // namespace fablewick
