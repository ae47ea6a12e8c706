// The spectral-line list offered in cboscale and the centroid-width list of
// cbobox: their texts in list order and the value each entry stands for.
#pragma once

#include <array>
#include <string_view>

namespace lxr4 {

struct LineEntry {
  std::string_view text;
  double wavelength;  // Angstroms, with exactly the decimals of the text
};

// Entries 0..53 are lines; entry 54, "Manual Entry", asks for a typed wavelength.
inline constexpr int kManualEntryIndex = 54;
inline constexpr int kStartLineIndex = 3;  // "5460.753 (Hg)"

inline constexpr std::array<LineEntry, 54> kSpectralLines{{
    {"3650.150 (Hg)", 3650.15},   {"4046.572 (Hg)", 4046.572}, {"4358.337 (Hg)", 4358.337},
    {"5460.753 (Hg)", 5460.753},  {"5769.598 (Hg)", 5769.598}, {"5790.663 (Hg)", 5790.663},
    {"6716.429 (Hg)", 6716.429},  {"6907.461 (Hg)", 6907.461}, {"5852.488 (Ne)", 5852.488},
    {"5881.895 (Ne)", 5881.895},  {"5944.834 (Ne)", 5944.834}, {"5975.534 (Ne)", 5975.534},
    {"6029.997 (Ne)", 6029.997},  {"6074.338 (Ne)", 6074.338}, {"6096.163 (Ne)", 6096.163},
    {"6143.063 (Ne)", 6143.063},  {"6163.594 (Ne)", 6163.594}, {"6217.281 (Ne)", 6217.281},
    {"6266.495 (Ne)", 6266.495},  {"6304.789 (Ne)", 6304.789}, {"6334.428 (Ne)", 6334.428},
    {"6382.992 (Ne)", 6382.992},  {"6402.246 (Ne)", 6402.246}, {"6506.528 (Ne)", 6506.528},
    {"6532.882 (Ne)", 6532.882},  {"6598.953 (Ne)", 6598.953}, {"6678.276 (Ne)", 6678.276},
    {"6717.043 (Ne)", 6717.043},  {"6929.467 (Ne)", 6929.467}, {"7024.050 (Ne)", 7024.05},
    {"7032.413 (Ne)", 7032.413},  {"7051.292 (Ne)", 7051.292}, {"7059.107 (Ne)", 7059.107},
    {"7173.938 (Ne)", 7173.938},  {"7245.167 (Ne)", 7245.167}, {"6965.431 (Ar)", 6965.431},
    {"7067.218 (Ar)", 7067.218},  {"7147.042 (Ar)", 7147.042}, {"7272.936 (Ar)", 7272.936},
    {"7383.980 (Ar)", 7383.98},   {"7514.652 (Ar)", 7514.652}, {"7635.106 (Ar)", 7635.106},
    {"7723.761 (Ar)", 7723.761},  {"8115.311 (Ar)", 8115.311}, {"9122.967 (Ar)", 9122.967},
    {"4101.74  (Hs)", 4101.74},   {"4340.47  (Hg)", 4340.47},  {"4861.33  (Hb)", 4861.33},
    {"6562.852 (Ha)", 6562.852},  {"4959     (O III)", 4959},  {"5007     (O III)", 5007},
    {"5577.34  (O I)", 5577.34},  {"6300.34  (O I)", 6300.34}, {"5686.5   (Na-b)", 5686.5},
}};
inline constexpr std::string_view kManualEntryText = "Manual Entry";

struct WidthEntry {
  std::string_view text;
  int width;
};
inline constexpr std::array<WidthEntry, 6> kCentroidWidths{{
    {" 3 ", 3}, {" 5 ", 5}, {" 7 ", 7}, {"9 ", 9}, {"11 ", 11}, {"13 ", 13},
}};
inline constexpr int kStartWidthIndex = 1;

}  // namespace lxr4
