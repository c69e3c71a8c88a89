#include "xls/biff_formula_tokens.h"

#include "xls/biff_read_body.h"

namespace xls {

namespace {

// Token ids without their class bits (0x20-0x3F stand for all three classes).
enum Ptg : std::uint8_t {
  kStr = 0x17,
  kAttr = 0x19,
  kErr = 0x1C,
  kBool = 0x1D,
  kInt = 0x1E,
  kNum = 0x1F,
  kArray = 0x20,
  kFunc = 0x21,
  kFuncVar = 0x22,
  kName = 0x23,
  kRef = 0x24,
  kArea = 0x25,
  kMemArea = 0x26,
  kMemErr = 0x27,
  kMemNoMem = 0x28,
  kMemFunc = 0x29,
  kRefErr = 0x2A,
  kAreaErr = 0x2B,
  kRefN = 0x2C,
  kAreaN = 0x2D,
  kMemAreaN = 0x2E,
  kMemNoMemN = 0x2F,
  kNameX = 0x39,
  kRef3d = 0x3A,
  kArea3d = 0x3B,
  kRefErr3d = 0x3C,
  kAreaErr3d = 0x3D,
};

constexpr std::uint8_t kAttrChoose = 0x04;
constexpr std::uint8_t kAttrJumps = 0x02 | 0x04 | 0x08;  // if, choose, skip: byte offsets inside the array

std::uint8_t Base(std::uint8_t token) { return token >= 0x20 ? static_cast<std::uint8_t>((token & 0x1F) | 0x20) : token; }
std::uint8_t WithClass(std::uint8_t base, std::uint8_t token) {
  return static_cast<std::uint8_t>((token & 0x60) | (base & 0x1F));
}

std::size_t FixedSize(std::uint8_t base, bool biff8) {
  switch (base) {
    case 0x01:  // ptgExp
    case 0x02:  // ptgTbl
      return 5;
    case kErr:
    case kBool:
      return 2;
    case kInt:
      return 3;
    case kNum:
      return 9;
    case kArray:
      return 8;
    case kFunc:
      return 3;
    case kFuncVar:
      return 4;
    case kName:
      return biff8 ? 5 : 15;
    case kRef:
    case kRefErr:
    case kRefN:
      return biff8 ? 5 : 4;
    case kArea:
    case kAreaErr:
    case kAreaN:
      return biff8 ? 9 : 7;
    case kMemArea:
    case kMemErr:
    case kMemNoMem:
      return 7;
    case kMemFunc:
    case kMemAreaN:
    case kMemNoMemN:
      return 3;
    case kNameX:
      return biff8 ? 7 : 25;
    case kRef3d:
    case kRefErr3d:
      return biff8 ? 7 : 18;
    case kArea3d:
    case kAreaErr3d:
      return biff8 ? 11 : 21;
    default:
      return (base >= 0x03 && base <= 0x16) ? 1 : 0;  // operators, parentheses, missing argument
  }
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// BIFF5 keeps the relative flags in the row word (bits 14, 15), BIFF8 in the column word.
void PutBiff8Cell(std::vector<std::uint8_t>& out, std::uint16_t biff5Row, std::uint8_t column, bool offsets) {
  std::uint16_t row = biff5Row & 0x3FFF;
  const bool rowRelative = biff5Row & 0x8000;
  if (offsets && rowRelative && (row & 0x2000)) row |= 0xC000;  // a negative 14-bit offset
  Put16(out, row);
  Put16(out, static_cast<std::uint16_t>(column | (biff5Row & 0xC000)));
}

}  // namespace

std::size_t FormulaTokenSize(std::span<const std::uint8_t> tokens, std::size_t at, bool biff8) {
  const TXLSBody body(tokens);
  if (at >= body.Size()) return 0;
  const std::uint8_t base = Base(body.U8(at));
  std::size_t size = 0;
  if (base == kStr) {
    const std::size_t count = body.U8(at + 1);
    size = biff8 ? 3 + count * ((body.U8(at + 2) & 0x01) ? 2 : 1) : 2 + count;
  } else if (base == kAttr) {
    size = 4;
    if (body.U8(at + 1) & kAttrChoose) size += 2 * (static_cast<std::size_t>(body.U16(at + 2)) + 1);
  } else {
    size = FixedSize(base, biff8);
  }
  return size != 0 && body.Has(at, size) ? size : 0;
}

bool InstantiateSharedFormula(std::span<const std::uint8_t> tokens, int row, int column,
                              std::vector<std::uint8_t>& out) {
  const TXLSBody body(tokens);
  out.clear();
  auto placeRow = [row](std::uint16_t field, std::uint16_t columnField) {
    return (columnField & 0x8000) ? static_cast<std::uint16_t>(row + static_cast<std::int16_t>(field)) : field;
  };
  auto placeColumn = [column](std::uint16_t field) {
    const int own = (field & 0x4000) ? (column + static_cast<std::int8_t>(field & 0xFF)) & 0xFF : field & 0xFF;
    return static_cast<std::uint16_t>((field & 0xC000) | own);
  };
  for (std::size_t at = 0; at < tokens.size();) {
    const std::size_t size = FormulaTokenSize(tokens, at, true);
    if (size == 0) return false;
    const std::uint8_t token = body.U8(at);
    const std::uint8_t base = Base(token);
    if (base == kRefN) {
      out.push_back(WithClass(kRef, token));
      Put16(out, placeRow(body.U16(at + 1), body.U16(at + 3)));
      Put16(out, placeColumn(body.U16(at + 3)));
    } else if (base == kAreaN) {
      out.push_back(WithClass(kArea, token));
      Put16(out, placeRow(body.U16(at + 1), body.U16(at + 5)));
      Put16(out, placeRow(body.U16(at + 3), body.U16(at + 7)));
      Put16(out, placeColumn(body.U16(at + 5)));
      Put16(out, placeColumn(body.U16(at + 7)));
    } else {
      out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(at),
                 tokens.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    at += size;
  }
  return true;
}

bool RenumberNames(std::span<std::uint8_t> tokens, const std::vector<std::uint16_t>& map,
                   const std::vector<bool>& selfSheets) {
  // The name number sits at `field`; false when it has no new number.
  auto renumber = [&tokens, &map](std::size_t field) {
    const std::size_t number = static_cast<std::size_t>(tokens[field] | (tokens[field + 1] << 8));
    if (number == 0 || number > map.size() || map[number - 1] == 0) return false;
    tokens[field] = static_cast<std::uint8_t>(map[number - 1]);
    tokens[field + 1] = static_cast<std::uint8_t>(map[number - 1] >> 8);
    return true;
  };
  for (std::size_t at = 0; at < tokens.size();) {
    const std::size_t size = FormulaTokenSize(tokens, at, true);
    if (size == 0) return false;
    if (Base(tokens[at]) == kName && !renumber(at + 1)) return false;
    if (Base(tokens[at]) == kNameX) {
      const std::size_t sheet = static_cast<std::size_t>(tokens[at + 1] | (tokens[at + 2] << 8));
      if (sheet < selfSheets.size() && selfSheets[sheet] && !renumber(at + 3)) return false;
    }
    at += size;
  }
  return true;
}

bool ConvertBiff5Formula(std::span<const std::uint8_t> tokens, const TXLSTextDecoder& decoder,
                         const SheetReferenceFunction& sheetReference, std::vector<std::uint8_t>& out) {
  const TXLSBody body(tokens);
  out.clear();
  for (std::size_t at = 0; at < tokens.size();) {
    const std::size_t size = FormulaTokenSize(tokens, at, false);
    if (size == 0) return false;
    const std::uint8_t token = body.U8(at);
    const std::uint8_t base = Base(token);
    switch (base) {
      case kStr: {
        const std::u16string text = decoder.Decode8(body.Slice(at + 2, body.U8(at + 1)));
        out.push_back(token);
        out.push_back(static_cast<std::uint8_t>(text.size()));
        out.push_back(0x01);
        for (char16_t c : text) Put16(out, static_cast<std::uint16_t>(c));
        break;
      }
      case kAttr:
        if (body.U8(at + 1) & kAttrJumps) return false;
        out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(at),
                   tokens.begin() + static_cast<std::ptrdiff_t>(at + size));
        break;
      case kName:
        out.push_back(token);
        Put16(out, body.U16(at + 1));
        Put16(out, 0);
        break;
      case kRef:
      case kRefN:
        out.push_back(token);
        PutBiff8Cell(out, body.U16(at + 1), body.U8(at + 3), base == kRefN);
        break;
      case kArea:
      case kAreaN: {
        out.push_back(token);
        const bool offsets = base == kAreaN;
        std::vector<std::uint8_t> first, last;
        PutBiff8Cell(first, body.U16(at + 1), body.U8(at + 5), offsets);
        PutBiff8Cell(last, body.U16(at + 3), body.U8(at + 6), offsets);
        // BIFF8 order: first row, last row, first column, last column.
        out.insert(out.end(), {first[0], first[1], last[0], last[1], first[2], first[3], last[2], last[3]});
        break;
      }
      case kRefErr:
      case kRefErr3d:
        out.push_back(WithClass(kRefErr, token));
        out.insert(out.end(), 4, 0);
        break;
      case kAreaErr:
      case kAreaErr3d:
        out.push_back(WithClass(kAreaErr, token));
        out.insert(out.end(), 8, 0);
        break;
      case kRef3d:
      case kArea3d: {
        if (body.I16(at + 1) >= 0) return false;  // a reference into another workbook
        const int ref = sheetReference(body.I16(at + 11), body.I16(at + 13));
        if (ref < 0) return false;
        out.push_back(token);
        Put16(out, static_cast<std::uint16_t>(ref));
        if (base == kRef3d) {
          PutBiff8Cell(out, body.U16(at + 15), body.U8(at + 17), false);
        } else {
          std::vector<std::uint8_t> first, last;
          PutBiff8Cell(first, body.U16(at + 15), body.U8(at + 19), false);
          PutBiff8Cell(last, body.U16(at + 17), body.U8(at + 20), false);
          out.insert(out.end(), {first[0], first[1], last[0], last[1], first[2], first[3], last[2], last[3]});
        }
        break;
      }
      case kArray:
      case kMemArea:
      case kMemErr:
      case kMemNoMem:
      case kMemFunc:
      case kMemAreaN:
      case kMemNoMemN:
      case kNameX:
      case 0x01:
      case 0x02:
        return false;
      default:  // operators, constants, functions: the same in both forms
        out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(at),
                   tokens.begin() + static_cast<std::ptrdiff_t>(at + size));
        break;
    }
    at += size;
  }
  return true;
}

}  // namespace xls
