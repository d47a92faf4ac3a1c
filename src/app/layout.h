#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fablewick {

// A window layout as stored in the program's resources: a tree of objects,
// each with a name, a class and properties, in a small text format:
//
//   object frmmain: Tfrmmain
//     Caption = 'Fablewick'          // string; '' inside is one quote
//     ClientWidth = 526              // integer
//     BorderStyle = bsSingle         // identifier
//     BorderIcons = [biSystemMenu]   // set of identifiers
//     Font.Name = 'MS Sans Serif'    // dotted names address sub-properties
//     OnShow = FormShow              // events name a handler of the class
//     object Background: TImage
//       ...
//     end
//   end
//
// Blank lines and lines starting with "//" are ignored.

struct LayoutValue {
  enum class Kind { String, Integer, Identifier, Set };
  Kind kind = Kind::Identifier;
  std::string text;               // String and Identifier
  std::int64_t number = 0;        // Integer
  std::vector<std::string> items; // Set
};

struct LayoutProperty {
  std::string name;
  LayoutValue value;
  int line = 0;
  std::string source; // the layout's name, for error messages

  // Each raises AppError naming the layout and line when the value has
  // another kind or (for AsInt) does not fit.
  const std::string& AsString() const;
  int AsInt() const;
  const std::string& AsIdentifier() const;
  bool AsBool() const; // True or False
  const std::vector<std::string>& AsSet() const;
  // A colour as a number (see SystemColorFlag) or as a name that
  // ColorFromIdentifier knows.
  std::uint32_t AsColor() const;
};

struct LayoutObject {
  std::string name;
  std::string className;
  int line = 0;
  std::string source;
  std::vector<LayoutProperty> properties;
  std::vector<LayoutObject> children;

  const LayoutProperty* Find(std::string_view propertyName) const;
};

// Parses a whole layout, which holds exactly one top-level object. `source`
// names the layout in error messages. Raises AppError with the line number.
LayoutObject ParseLayout(std::string_view text, std::string_view source);

// The AppError that layout readers raise: "Layout <source>, line <n>: <what>".
[[noreturn]] void ThrowLayoutError(std::string_view source, int line, std::string_view what);

// Colours as layouts store them: 0x00BBGGRR for a fixed colour, or
// 0xFF0000nn for the system colour with index nn.
inline constexpr std::uint32_t SystemColorFlag = 0xFF000000u;
std::optional<std::uint32_t> ColorFromIdentifier(std::string_view name);

} // namespace fablewick
