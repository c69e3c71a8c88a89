#pragma once
// The tagged value that cells take and give: null, empty, integers of every
// width, floating point, currency, date, boolean, 8-bit or UTF-16 text, or a
// one- or two-dimensional array of such values (the automation-style value of
// `Value` get and set).
//
// Threads: plain values, no shared state; safe from any thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xls {

enum class VariantKind : std::uint8_t {
  Null,
  Empty,
  Int8,
  Int16,
  Int32,
  Int64,
  UInt8,
  UInt16,
  UInt32,
  UInt64,
  Single,
  Double,
  Currency,  // fixed point: the integer holds the amount times 10,000
  Date,      // day count from 30 December 1899, time as the fraction
  Boolean,
  AnsiText,  // 8-bit text in the program's code page (Windows-1250)
  Text,      // UTF-16 text
  Array,
};

class Variant;

// A one- or two-dimensional array. Elements are stored row-major: the last
// dimension varies fastest. Each dimension has a lower bound and an extent.
struct VariantArray {
  struct Dimension {
    int lowerBound = 0;
    int extent = 0;
  };
  std::vector<Dimension> dimensions;
  std::vector<Variant> elements;

  const Variant& At(int i) const;         // one dimension, index counted from 0
  const Variant& At(int i, int j) const;  // two dimensions, counted from 0
  Variant& At(int i, int j);
};

class Variant {
 public:
  Variant() = default;  // null

  static Variant Null() { return Variant(); }
  static Variant Empty();
  static Variant Int(std::int64_t value, VariantKind kind = VariantKind::Int32);
  static Variant UInt(std::uint64_t value, VariantKind kind = VariantKind::UInt32);
  static Variant Single(float value);
  static Variant Double(double value);
  static Variant Currency(std::int64_t tenThousandths);
  static Variant Date(double dayCount);
  static Variant Boolean(bool value);
  static Variant AnsiText(std::string text);
  static Variant Text(std::u16string text);
  // rows x columns, lower bounds 0, every element null.
  static Variant Array2D(int rows, int columns, int rowLowerBound = 0, int columnLowerBound = 0);
  static Variant Array1D(int extent, int lowerBound = 0);
  static Variant FromArray(VariantArray array);

  VariantKind Kind() const { return kind_; }
  bool IsNull() const { return kind_ == VariantKind::Null; }
  bool IsEmpty() const { return kind_ == VariantKind::Empty; }
  bool IsArray() const { return kind_ == VariantKind::Array; }
  bool IsText() const { return kind_ == VariantKind::Text || kind_ == VariantKind::AnsiText; }
  bool IsNumeric() const;  // integers, single, double, currency

  // The number as a double: integers, floating point, currency, date and
  // boolean (1 or 0) convert; anything else gives 0.
  double AsDouble() const;
  bool AsBoolean() const;
  // Text kinds only; 8-bit text is decoded from Windows-1250.
  std::u16string AsText() const;
  const std::string& AnsiValue() const;
  const VariantArray& ArrayValue() const;
  VariantArray& ArrayValue();

  bool operator==(const Variant& other) const;

 private:
  explicit Variant(VariantKind kind) : kind_(kind) {}

  // One member per family of kinds; only the one of kind_ is meaningful.
  VariantKind kind_ = VariantKind::Null;
  std::int64_t signed_ = 0;     // signed integers, currency
  std::uint64_t unsigned_ = 0;  // unsigned integers
  double real_ = 0;             // single, double, date
  bool boolean_ = false;
  std::string ansi_;
  std::u16string text_;
  std::shared_ptr<VariantArray> array_;
};

}  // namespace xls
