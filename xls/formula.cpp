#include "xls/formula.h"

namespace xls {

std::u16string_view ErrorValueText(std::uint8_t code) {
  switch (code) {
    case 0x00:
      return u"#NULL!";
    case 0x07:
      return u"#DIV/0!";
    case 0x0F:
      return u"#VALUE!";
    case 0x17:
      return u"#REF!";
    case 0x1D:
      return u"#NAME?";
    case 0x24:
      return u"#NUM!";
    default:
      return u"#N/A";
  }
}

Variant TXLSFormula::CachedResult() const {
  switch (resultKind) {
    case FormulaResultKind::Number:
      return Variant::Double(resultNumber);
    case FormulaResultKind::Text:
      return Variant::Text(resultText);
    case FormulaResultKind::EmptyText:
      return Variant::Text(u"");
    case FormulaResultKind::Boolean:
      return Variant::Boolean(resultBoolean);
    case FormulaResultKind::Error:
      break;
  }
  return Variant::Null();
}

}  // namespace xls
