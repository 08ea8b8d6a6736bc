// A library file in the block format, written for the tests: classic tables
// with comments, tabs, blank lines, a brace on a map's line, a 3-D block and
// a malformed block; and each 2-D table written in the seven-number format,
// its numbers exactly as in the block.
#pragma once

#include <string>
#include <vector>

inline const std::string LIBRARY_TEXT =
    "; Classic tables\n"
    ";   from the mathematics, not from any collection.\n"
    "\n"
    "fern {\t; Barnsley's fern\n"
    "   0     0    0  .16 0 0   .01\n"
    "  .85  .04 -.04  .85 0 1.6 .85   ; the main frond\n"
    "\t.2 -.26\t.23  .22 0 1.6 .07\n"
    "  -.15  .28  .26  .24 0 .44 .07\n"
    "  }\n"
    "\n"
    "sierpinski{\n"
    "  0.5 0 0 0.5 0 0 0.33\n"
    "  0.5 0 0 0.5 0.5 0 0.33\n"
    "  0.5 0 0 0.5 0.25 0.5 0.34 }\n"
    "fern3d (3D) {\n"
    "  0 0 0 0 .18 0 0 0 0 0 0 0 .01\n"
    "  .83 0 0 0 .86 .1 0 -.12 .84 0 1.62 0 .99\n"
    "}\n"
    "broken {\n"
    "  .5 0 0 .5 0 0 .5\n"
    "  .5 0 0 .5 1 0\n"
    "}\n"
    "dragon (  ) {\r\n"
    "  .5 -.5 .5 .5 0 0 .5\r\n"
    "  -.5 -.5 .5 -.5 1 0 +.5E0\r\n"
    "}\r\n";

// The line of "broken" that holds six numbers.
inline constexpr int LIBRARY_BROKEN_LINE = 21;

struct PlainTable {
  std::string name;
  std::string text;  // the seven-number format
};

inline const std::vector<PlainTable> LIBRARY_PLAIN_TABLES{
    {"fern", "0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n.2 -.26 .23 .22 0 1.6 .07\n-.15 .28 .26 .24 0 .44 .07\n"},
    {"sierpinski", "0.5 0 0 0.5 0 0 0.33\n0.5 0 0 0.5 0.5 0 0.33\n0.5 0 0 0.5 0.25 0.5 0.34\n"},
    {"dragon", ".5 -.5 .5 .5 0 0 .5\n-.5 -.5 .5 -.5 1 0 +.5E0\n"},
};

inline const std::vector<std::string> LIBRARY_NAMES{"fern", "sierpinski", "fern3d", "broken", "dragon"};
