#include "xls/variant.h"

#include <stdexcept>

#include "platform/codepage.h"

namespace xls {

const Variant& VariantArray::At(int i) const { return elements.at(static_cast<std::size_t>(i)); }

const Variant& VariantArray::At(int i, int j) const {
  return elements.at(static_cast<std::size_t>(i) * static_cast<std::size_t>(dimensions.at(1).extent) +
                     static_cast<std::size_t>(j));
}

Variant& VariantArray::At(int i, int j) {
  return elements.at(static_cast<std::size_t>(i) * static_cast<std::size_t>(dimensions.at(1).extent) +
                     static_cast<std::size_t>(j));
}

Variant Variant::Empty() { return Variant(VariantKind::Empty); }

Variant Variant::Int(std::int64_t value, VariantKind kind) {
  Variant v(kind);
  v.signed_ = value;
  return v;
}

Variant Variant::UInt(std::uint64_t value, VariantKind kind) {
  Variant v(kind);
  v.unsigned_ = value;
  return v;
}

Variant Variant::Single(float value) {
  Variant v(VariantKind::Single);
  v.real_ = static_cast<double>(value);
  return v;
}

Variant Variant::Double(double value) {
  Variant v(VariantKind::Double);
  v.real_ = value;
  return v;
}

Variant Variant::Currency(std::int64_t tenThousandths) { return Int(tenThousandths, VariantKind::Currency); }

Variant Variant::Date(double dayCount) {
  Variant v(VariantKind::Date);
  v.real_ = dayCount;
  return v;
}

Variant Variant::Boolean(bool value) {
  Variant v(VariantKind::Boolean);
  v.boolean_ = value;
  return v;
}

Variant Variant::AnsiText(std::string text) {
  Variant v(VariantKind::AnsiText);
  v.ansi_ = std::move(text);
  return v;
}

Variant Variant::Text(std::u16string text) {
  Variant v(VariantKind::Text);
  v.text_ = std::move(text);
  return v;
}

Variant Variant::Array2D(int rows, int columns, int rowLowerBound, int columnLowerBound) {
  VariantArray array;
  array.dimensions = {{rowLowerBound, rows}, {columnLowerBound, columns}};
  array.elements.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
  return FromArray(std::move(array));
}

Variant Variant::Array1D(int extent, int lowerBound) {
  VariantArray array;
  array.dimensions = {{lowerBound, extent}};
  array.elements.resize(static_cast<std::size_t>(extent));
  return FromArray(std::move(array));
}

Variant Variant::FromArray(VariantArray array) {
  Variant v(VariantKind::Array);
  v.array_ = std::make_shared<VariantArray>(std::move(array));
  return v;
}

bool Variant::IsNumeric() const {
  switch (kind_) {
    case VariantKind::Int8:
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::Int64:
    case VariantKind::UInt8:
    case VariantKind::UInt16:
    case VariantKind::UInt32:
    case VariantKind::UInt64:
    case VariantKind::Single:
    case VariantKind::Double:
    case VariantKind::Currency:
      return true;
    default:
      return false;
  }
}

double Variant::AsDouble() const {
  switch (kind_) {
    case VariantKind::Currency:
      return static_cast<double>(signed_) / 10000.0;
    case VariantKind::Int8:
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::Int64:
      return static_cast<double>(signed_);
    case VariantKind::UInt8:
    case VariantKind::UInt16:
    case VariantKind::UInt32:
    case VariantKind::UInt64:
      return static_cast<double>(unsigned_);
    case VariantKind::Single:
    case VariantKind::Double:
    case VariantKind::Date:
      return real_;
    case VariantKind::Boolean:
      return boolean_ ? 1.0 : 0.0;
    default:
      return 0.0;
  }
}

bool Variant::AsBoolean() const { return kind_ == VariantKind::Boolean ? boolean_ : AsDouble() != 0.0; }

std::u16string Variant::AsText() const {
  if (kind_ == VariantKind::Text) return text_;
  if (kind_ == VariantKind::AnsiText) return platform::AnsiToUnicode(ansi_);
  return {};
}

const std::string& Variant::AnsiValue() const { return ansi_; }

const VariantArray& Variant::ArrayValue() const {
  if (!array_) throw std::logic_error("not an array value");
  return *array_;
}

VariantArray& Variant::ArrayValue() {
  if (!array_) throw std::logic_error("not an array value");
  return *array_;
}

bool Variant::operator==(const Variant& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case VariantKind::Null:
    case VariantKind::Empty:
      return true;
    case VariantKind::AnsiText:
      return ansi_ == other.ansi_;
    case VariantKind::Text:
      return text_ == other.text_;
    case VariantKind::Boolean:
      return boolean_ == other.boolean_;
    case VariantKind::Array: {
      const VariantArray& a = *array_;
      const VariantArray& b = *other.array_;
      if (a.dimensions.size() != b.dimensions.size()) return false;
      for (std::size_t d = 0; d < a.dimensions.size(); ++d) {
        if (a.dimensions[d].lowerBound != b.dimensions[d].lowerBound ||
            a.dimensions[d].extent != b.dimensions[d].extent)
          return false;
      }
      return a.elements == b.elements;
    }
    default:
      return signed_ == other.signed_ && unsigned_ == other.unsigned_ && real_ == other.real_;
  }
}

}  // namespace xls
