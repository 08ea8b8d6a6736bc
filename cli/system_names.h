// File names as the command line holds them: narrow texts in the code page
// the program's arguments arrive in. On Linux that is the system code page
// (UTF-8, with bytes that are not UTF-8 kept as lone surrogates), so every
// name the system allows round-trips. On Windows the system code page cannot
// hold most names, so the entry reads the wide command line and hands names
// on in UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

std::u16string name_from_system(const std::string& name);
std::string name_to_system(std::u16string_view name);
// std::fopen for such a name (the wide open on Windows).
std::FILE* name_open(const std::string& name, const char* mode);
