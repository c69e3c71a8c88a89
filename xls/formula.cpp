#include "xls/formula.h"

namespace xls {

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
