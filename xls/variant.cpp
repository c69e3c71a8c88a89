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

Variant Variant::Empty() { return Variant(VariantKind::Empty, std::monostate{}); }

Variant Variant::Int(std::int64_t value, VariantKind kind) { return Variant(kind, value); }

Variant Variant::UInt(std::uint64_t value, VariantKind kind) { return Variant(kind, value); }

Variant Variant::Single(float value) { return Variant(VariantKind::Single, static_cast<double>(value)); }

Variant Variant::Double(double value) { return Variant(VariantKind::Double, value); }

Variant Variant::Currency(std::int64_t tenThousandths) { return Variant(VariantKind::Currency, tenThousandths); }

Variant Variant::Date(double dayCount) { return Variant(VariantKind::Date, dayCount); }

Variant Variant::Boolean(bool value) { return Variant(VariantKind::Boolean, value); }

Variant Variant::AnsiText(std::string text) { return Variant(VariantKind::AnsiText, std::move(text)); }

Variant Variant::Text(std::u16string text) { return Variant(VariantKind::Text, std::move(text)); }

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
  return Variant(VariantKind::Array, std::make_shared<VariantArray>(std::move(array)));
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
  if (kind_ == VariantKind::Currency) return static_cast<double>(std::get<std::int64_t>(storage_)) / 10000.0;
  if (const auto* i = std::get_if<std::int64_t>(&storage_)) return static_cast<double>(*i);
  if (const auto* u = std::get_if<std::uint64_t>(&storage_)) return static_cast<double>(*u);
  if (const auto* d = std::get_if<double>(&storage_)) return *d;
  if (const auto* b = std::get_if<bool>(&storage_)) return *b ? 1.0 : 0.0;
  return 0.0;
}

bool Variant::AsBoolean() const {
  if (const auto* b = std::get_if<bool>(&storage_)) return *b;
  return AsDouble() != 0.0;
}

std::u16string Variant::AsText() const {
  if (const auto* wide = std::get_if<std::u16string>(&storage_)) return *wide;
  if (const auto* ansi = std::get_if<std::string>(&storage_)) return platform::AnsiToUnicode(*ansi);
  return {};
}

const std::string& Variant::AnsiValue() const { return std::get<std::string>(storage_); }

const VariantArray& Variant::ArrayValue() const { return *std::get<std::shared_ptr<VariantArray>>(storage_); }

VariantArray& Variant::ArrayValue() { return *std::get<std::shared_ptr<VariantArray>>(storage_); }

bool Variant::operator==(const Variant& other) const {
  if (kind_ != other.kind_) return false;
  if (kind_ == VariantKind::Array) {
    const VariantArray& a = ArrayValue();
    const VariantArray& b = other.ArrayValue();
    if (a.dimensions.size() != b.dimensions.size()) return false;
    for (std::size_t d = 0; d < a.dimensions.size(); ++d) {
      if (a.dimensions[d].lowerBound != b.dimensions[d].lowerBound ||
          a.dimensions[d].extent != b.dimensions[d].extent)
        return false;
    }
    return a.elements == b.elements;
  }
  return storage_ == other.storage_;
}

}  // namespace xls
