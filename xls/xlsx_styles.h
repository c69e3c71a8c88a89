#pragma once
// The cell formats of an .xlsx workbook (styles.xml) brought into the
// workbook's format table: each cell format (<cellXfs> entry) becomes a model
// XF with its number format and its fill. Fill colours become palette entries
// as in a BIFF file: an indexed colour is its entry, an RGB colour (or a
// theme colour with its tint, from the theme entry) the nearest entry of the
// workbook's palette, so a bright-green fill reads back as colour index 4.

#include <cstdint>
#include <string_view>
#include <vector>

#include "xls/workbook.h"
#include "xls/xlsx_package.h"

namespace xls {

// The model XF of each <cellXfs> entry, in order. `themeEntry` may be empty.
int ReadStyles(XlsxPackage& package, std::string_view stylesEntry, std::string_view themeEntry, TXLSWorkbook& book,
               std::vector<std::uint32_t>& cellFormats);

// The BIFF fill pattern (0 none, 1 solid, 2-18 hatches) of an .xlsx patternType.
int BiffPatternOf(std::string_view patternType);

}  // namespace xls
