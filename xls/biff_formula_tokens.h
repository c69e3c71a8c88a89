#pragma once
// Formula token arrays as BIFF files hold them (parsed expressions in
// reverse Polish order). The reader keeps BIFF8 token arrays as they are and
// needs only a few operations on them: walking the tokens, making a cell's
// own formula from a shared formula, renumbering references to defined
// names, and converting BIFF5 token arrays to BIFF8 where that can be done
// without reckoning (a formula with jump offsets, memory areas, array
// constants or references to other workbooks is not converted).
//
// Threads: pure functions, no shared state; safe from any thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "xls/biff_read_text.h"

namespace xls {

inline constexpr std::uint8_t kPtgExp = 0x01;
inline constexpr std::uint8_t kPtgErrToken = 0x1C;
inline constexpr std::uint8_t kErrorRef = 0x17;

// The size of the token at `at`, its token byte included; 0 when the token
// is not known or runs past the end of the array.
std::size_t FormulaTokenSize(std::span<const std::uint8_t> tokens, std::size_t at, bool biff8);

// The token array of a shared formula (BIFF8, relative references as
// offsets) as the formula of the cell at (row, column).
bool InstantiateSharedFormula(std::span<const std::uint8_t> tokens, int row, int column,
                              std::vector<std::uint8_t>& out);

// Renumbers the defined-name references (1-based) of a BIFF8 token array
// through `map` (file number - 1 -> new number; 0 = the name is gone): the
// name tokens, and the external-name tokens whose EXTERNSHEET entry is one
// of this workbook's own (`selfSheets`, by EXTERNSHEET index), for those
// count the workbook's own names as well. False when a reference has no new
// number.
bool RenumberNames(std::span<std::uint8_t> tokens, const std::vector<std::uint16_t>& map,
                   const std::vector<bool>& selfSheets = {});

// The EXTERNSHEET index of a sheet range of this workbook (0-based BOUNDSHEET
// positions), or -1 when the range cannot be referred to.
using SheetReferenceFunction = std::function<int(int firstTab, int lastTab)>;

// Converts a BIFF5 token array to BIFF8; false when it holds tokens that
// cannot be carried over.
bool ConvertBiff5Formula(std::span<const std::uint8_t> tokens, const TXLSTextDecoder& decoder,
                         const SheetReferenceFunction& sheetReference, std::vector<std::uint8_t>& out);

}  // namespace xls
