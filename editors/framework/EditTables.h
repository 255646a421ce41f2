// The editors' constant text tables: the Boolean texts, the summary formats
// by summary kind (0-9) and the colour names of the extended editors (the
// colour constants, the sixteen basic colours and the 140 web colours, in
// alphabetical order and grouped by colour family). Portable.
#pragma once

#include <array>

inline constexpr std::array<const char*, 2> cxBooleanTexts{"False", "True"};

// Per summary kind: the format, the prefix and the default format.
struct TcxSummaryFormat {
  const char* Format;
  const char* Prefix;
  const char* DefaultFormat;
};
inline constexpr std::array<TcxSummaryFormat, 10> cxSummaryFormats{{
    {"SUM=%s;SUM=-%s", "SUM=", "SUM=0.00;SUM=-0.00"},
    {"MIN=%s;MIN=-%s", "MIN=", "MIN=0.00;MIN=-0.00"},
    {"MAX=%s;MAX=-%s", "MAX=", "MAX=0.00;MAX=-0.00"},
    {"COUNT=0", "COUNT=0", "COUNT=0"},
    {"AVG=%s;AVG=-%s", "AVG=", "AVG=0.00;AVG=-0.00"},
    {"%s;-%s", "", "0.00;-0.00"},
    {"MIN=%s;MIN=-%s", "MIN=", "MIN=0.00;MIN=-0.00"},
    {"MAX=%s;MAX=-%s", "MAX=", "MAX=0.00;MAX=-0.00"},
    {"0", "0", "0"},
    {"AVG=%s;AVG=-%s", "AVG=", "AVG=0.00;AVG=-0.00"},
}};

// The colour constants' names: basic, extra, system colours, clDefault and
// clNone in alphabetical position.
inline constexpr std::array<const char*, 52> cxColorConstantNames{
    "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy",
    "clPurple", "clTeal", "clGray", "clSilver", "clRed",
    "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua",
    "clWhite", "clMoneyGreen", "clSkyBlue", "clCream", "clMedGray",
    "clActiveBorder", "clActiveCaption", "clAppWorkSpace", "clBackground", "clBtnFace",
    "clBtnHighlight", "clBtnShadow", "clBtnText", "clCaptionText", "clDefault",
    "clGradientActiveCaption", "clGradientInactiveCaption", "clGrayText", "clHighlight", "clHighlightText",
    "clHotLight", "clInactiveBorder", "clInactiveCaption", "clInactiveCaptionText", "clInfoBk",
    "clInfoText", "clMenu", "clMenuBar", "clMenuHighlight", "clMenuText",
    "clNone", "clScrollBar", "cl3DDkShadow", "cl3DLight", "clWindow",
    "clWindowFrame", "clWindowText",
};

inline constexpr std::array<const char*, 16> cxBasicColorNames{
    "Black", "Silver", "Gray", "White", "Maroon", "Red", "Purple", "Fuchsia",
    "Green", "Lime", "Olive", "Yellow", "Navy", "Blue", "Teal", "Aqua",
};

// The web colours, sorted.
inline constexpr std::array<const char*, 140> cxWebColorNamesSorted{
    "AliceBlue", "AntiqueWhite", "Aqua", "Aquamarine", "Azure",
    "Beige", "Bisque", "Black", "BlanchedAlmond", "Blue",
    "BlueViolet", "Brown", "BurlyWood", "CadetBlue", "Chartreuse",
    "Chocolate", "Coral", "CornflowerBlue", "Cornsilk", "Crimson",
    "Cyan", "DarkBlue", "DarkCyan", "DarkGoldenrod", "DarkGray",
    "DarkGreen", "DarkKhaki", "DarkMagenta", "DarkOliveGreen", "DarkOrange",
    "DarkOrchid", "DarkRed", "DarkSalmon", "DarkSeaGreen", "DarkSlateBlue",
    "DarkSlateGray", "DarkTurquoise", "DarkViolet", "DeepPink", "DeepSkyBlue",
    "DimGray", "DodgerBlue", "FireBrick", "FloralWhite", "ForestGreen",
    "Fuchsia", "Gainsboro", "GhostWhite", "Gold", "Goldenrod",
    "Gray", "Green", "GreenYellow", "Honeydew", "HotPink",
    "IndianRed", "Indigo", "Ivory", "Khaki", "Lavender",
    "LavenderBlush", "LawnGreen", "LemonChiffon", "LightBlue", "LightCoral",
    "LightCyan", "LightGoldenrodYellow", "LightGreen", "LightGrey", "LightPink",
    "LightSalmon", "LightSeaGreen", "LightSkyBlue", "LightSlateGray", "LightSteelBlue",
    "LightYellow", "Lime", "LimeGreen", "Linen", "Magenta",
    "Maroon", "MediumAquamarine", "MediumBlue", "MediumOrchid", "MediumPurple",
    "MediumSeaGreen", "MediumSlateBlue", "MediumSpringGreen", "MediumTurquoise", "MediumVioletRed",
    "MidnightBlue", "MintCream", "MistyRose", "Moccasin", "NavajoWhite",
    "Navy", "OldLace", "Olive", "OliveDrab", "Orange",
    "OrangeRed", "Orchid", "PaleGoldenrod", "PaleGreen", "PaleTurquoise",
    "PaleVioletRed", "PapayaWhip", "PeachPuff", "Peru", "Pink",
    "Plum", "PowderBlue", "Purple", "Red", "RosyBrown",
    "RoyalBlue", "SaddleBrown", "Salmon", "SandyBrown", "SeaGreen",
    "Seashell", "Sienna", "Silver", "SkyBlue", "SlateBlue",
    "SlateGray", "Snow", "SpringGreen", "SteelBlue", "Tan",
    "Teal", "Thistle", "Tomato", "Turquoise", "Violet",
    "Wheat", "White", "WhiteSmoke", "Yellow", "YellowGreen",
};

// The web colours by colour family.
inline constexpr std::array<const char*, 140> cxWebColorNamesByFamily{
    "LightPink", "Pink", "Crimson", "LavenderBlush", "PaleVioletRed",
    "HotPink", "DeepPink", "MediumVioletRed", "Orchid", "Thistle",
    "Plum", "Violet", "Magenta", "Fuchsia", "DarkMagenta",
    "Purple", "MediumOrchid", "DarkViolet", "DarkOrchid", "Indigo",
    "BlueViolet", "MediumPurple", "MediumSlateBlue", "SlateBlue", "DarkSlateBlue",
    "Lavender", "GhostWhite", "Blue", "MediumBlue", "MidnightBlue",
    "DarkBlue", "Navy", "RoyalBlue", "CornflowerBlue", "LightSteelBlue",
    "LightSlateGray", "SlateGray", "DodgerBlue", "AliceBlue", "SteelBlue",
    "LightSkyBlue", "SkyBlue", "DeepSkyBlue", "LightBlue", "PowderBlue",
    "CadetBlue", "Azure", "LightCyan", "PaleTurquoise", "Cyan",
    "Aqua", "DarkTurquoise", "DarkSlateGray", "DarkCyan", "Teal",
    "MediumTurquoise", "LightSeaGreen", "Turquoise", "Aquamarine", "MediumAquamarine",
    "MediumSpringGreen", "MintCream", "SpringGreen", "MediumSeaGreen", "SeaGreen",
    "Honeydew", "LightGreen", "PaleGreen", "DarkSeaGreen", "LimeGreen",
    "Lime", "ForestGreen", "Green", "DarkGreen", "Chartreuse",
    "LawnGreen", "GreenYellow", "DarkOliveGreen", "YellowGreen", "OliveDrab",
    "Beige", "LightGoldenrodYellow", "Ivory", "LightYellow", "Yellow",
    "Olive", "DarkKhaki", "LemonChiffon", "PaleGoldenrod", "Khaki",
    "Gold", "Cornsilk", "Goldenrod", "DarkGoldenrod", "FloralWhite",
    "OldLace", "Wheat", "Moccasin", "Orange", "PapayaWhip",
    "BlanchedAlmond", "NavajoWhite", "AntiqueWhite", "Tan", "BurlyWood",
    "Bisque", "DarkOrange", "Linen", "Peru", "PeachPuff",
    "SandyBrown", "Chocolate", "SaddleBrown", "Seashell", "Sienna",
    "LightSalmon", "Coral", "OrangeRed", "DarkSalmon", "Tomato",
    "MistyRose", "Salmon", "Snow", "LightCoral", "RosyBrown",
    "IndianRed", "Red", "Brown", "FireBrick", "DarkRed",
    "Maroon", "White", "WhiteSmoke", "Gainsboro", "LightGrey",
    "Silver", "DarkGray", "Gray", "DimGray", "Black",
};
