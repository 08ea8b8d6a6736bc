#include <cstdint>

#include "platform/win32/user32_character_case.h"

namespace {

enum class Members : std::uint8_t { ALL, EVEN, ODD };

// Characters first..last (those of the given parity) map to character + delta.
struct CaseRange {
  char16_t first;
  char16_t last;
  Members members;
  std::int32_t delta;
};

constexpr CaseRange TO_LOWER[] = {
    {0x0041, 0x005A, Members::ALL, 0x20},    {0x00C0, 0x00D6, Members::ALL, 0x20},
    {0x00D8, 0x00DE, Members::ALL, 0x20},    {0x0100, 0x012F, Members::EVEN, 1},
    {0x0130, 0x0130, Members::ALL, -0xC7},   {0x0132, 0x0137, Members::EVEN, 1},
    {0x0139, 0x0148, Members::ODD, 1},       {0x014A, 0x0177, Members::EVEN, 1},
    {0x0178, 0x0178, Members::ALL, -0x79},   {0x0179, 0x017E, Members::ODD, 1},
    {0x0370, 0x0373, Members::EVEN, 1},      {0x0376, 0x0376, Members::ALL, 1},
    {0x037F, 0x037F, Members::ALL, 0x74},    {0x0386, 0x0386, Members::ALL, 0x26},
    {0x0388, 0x038A, Members::ALL, 0x25},    {0x038C, 0x038C, Members::ALL, 0x40},
    {0x038E, 0x038F, Members::ALL, 0x3F},    {0x0391, 0x03A1, Members::ALL, 0x20},
    {0x03A3, 0x03AB, Members::ALL, 0x20},    {0x03CF, 0x03CF, Members::ALL, 8},
    {0x03D8, 0x03EF, Members::EVEN, 1},      {0x03F4, 0x03F4, Members::ALL, -0x3C},
    {0x03F7, 0x03F7, Members::ALL, 1},       {0x03F9, 0x03F9, Members::ALL, -7},
    {0x03FA, 0x03FA, Members::ALL, 1},       {0x03FD, 0x03FF, Members::ALL, -0x82},
    {0x0400, 0x040F, Members::ALL, 0x50},    {0x0410, 0x042F, Members::ALL, 0x20},
    {0x0460, 0x0481, Members::EVEN, 1},      {0x048A, 0x04BF, Members::EVEN, 1},
    {0x04C0, 0x04C0, Members::ALL, 0x0F},    {0x04C1, 0x04CE, Members::ODD, 1},
    {0x04D0, 0x052F, Members::EVEN, 1},
};

constexpr CaseRange TO_UPPER[] = {
    {0x0061, 0x007A, Members::ALL, -0x20},   {0x00B5, 0x00B5, Members::ALL, 0x2E7},
    {0x00E0, 0x00F6, Members::ALL, -0x20},   {0x00F8, 0x00FE, Members::ALL, -0x20},
    {0x00FF, 0x00FF, Members::ALL, 0x79},    {0x0101, 0x012F, Members::ODD, -1},
    {0x0131, 0x0131, Members::ALL, -0xE8},   {0x0133, 0x0137, Members::ODD, -1},
    {0x013A, 0x0148, Members::EVEN, -1},     {0x014B, 0x0177, Members::ODD, -1},
    {0x017A, 0x017E, Members::EVEN, -1},     {0x017F, 0x017F, Members::ALL, -0x12C},
    {0x0371, 0x0373, Members::ODD, -1},      {0x0377, 0x0377, Members::ALL, -1},
    {0x037B, 0x037D, Members::ALL, 0x82},    {0x03AC, 0x03AC, Members::ALL, -0x26},
    {0x03AD, 0x03AF, Members::ALL, -0x25},   {0x03B1, 0x03C1, Members::ALL, -0x20},
    {0x03C2, 0x03C2, Members::ALL, -0x1F},   {0x03C3, 0x03CB, Members::ALL, -0x20},
    {0x03CC, 0x03CC, Members::ALL, -0x40},   {0x03CD, 0x03CE, Members::ALL, -0x3F},
    {0x03D0, 0x03D0, Members::ALL, -0x3E},   {0x03D1, 0x03D1, Members::ALL, -0x39},
    {0x03D5, 0x03D5, Members::ALL, -0x2F},   {0x03D6, 0x03D6, Members::ALL, -0x36},
    {0x03D7, 0x03D7, Members::ALL, -8},      {0x03D9, 0x03EF, Members::ODD, -1},
    {0x03F0, 0x03F0, Members::ALL, -0x56},   {0x03F1, 0x03F1, Members::ALL, -0x50},
    {0x03F2, 0x03F2, Members::ALL, 7},       {0x03F3, 0x03F3, Members::ALL, -0x74},
    {0x03F5, 0x03F5, Members::ALL, -0x60},   {0x03F8, 0x03F8, Members::ALL, -1},
    {0x03FB, 0x03FB, Members::ALL, -1},      {0x0430, 0x044F, Members::ALL, -0x20},
    {0x0450, 0x045F, Members::ALL, -0x50},   {0x0461, 0x0481, Members::ODD, -1},
    {0x048B, 0x04BF, Members::ODD, -1},      {0x04C2, 0x04CE, Members::EVEN, -1},
    {0x04CF, 0x04CF, Members::ALL, -0x0F},   {0x04D1, 0x052F, Members::ODD, -1},
};

bool is_member(const CaseRange& range, char16_t character) {
  if (character < range.first || character > range.last) return false;
  if (range.members == Members::ALL) return true;
  return (character % 2 == 0) == (range.members == Members::EVEN);
}

template <std::size_t N>
char16_t map_character(const CaseRange (&table)[N], char16_t character) {
  for (const CaseRange& range : table)
    if (is_member(range, character)) return static_cast<char16_t>(character + range.delta);
  return character;
}

// Win32 passes a single character in place of a string pointer when the
// pointer value's high word is zero.
bool is_single_character(LPWSTR text) { return (reinterpret_cast<UINT_PTR>(text) >> 16) == 0; }

template <std::size_t N>
LPWSTR convert(const CaseRange (&table)[N], LPWSTR text) {
  if (is_single_character(text)) {
    auto character = static_cast<char16_t>(LOWORD(reinterpret_cast<UINT_PTR>(text)));
    return reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(map_character(table, character)));
  }
  for (WCHAR* at = text; *at; ++at) *at = map_character(table, *at);
  return text;
}

}  // namespace

LPWSTR CharLowerW(LPWSTR text) { return convert(TO_LOWER, text); }

LPWSTR CharUpperW(LPWSTR text) { return convert(TO_UPPER, text); }
