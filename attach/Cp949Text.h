// Character-wise scanning and comparison of CP949 (Korean ANSI) byte strings.
#pragma once

#include <cstddef>
#include <string>

// CP949 pairs a lead byte 0x81-0xFE with a trail byte 0x41-0x5A, 0x61-0x7A or 0x81-0xFE.
// Trail bytes can look like ASCII letters ("갂" is 81 41), never like '\\', '(' or a tab.
// A lead byte without a valid trail byte after it stands alone, so the next byte is read as
// a character of its own: '\\', '(' and tabs are found wherever they are.
bool IsCp949LeadByte(unsigned char byte);
bool IsCp949TrailByte(unsigned char byte);

// 2 when text[pos] starts a lead/trail pair, else 1. pos must be inside text.
std::size_t Cp949CharLength(const std::string& text, std::size_t pos);

// Position of the last single-byte character ch (ASCII), or npos; trail bytes never match.
std::size_t FindLastCp949Char(const std::string& text, char ch);

// Equality ignoring the case of ASCII letters only: double-byte characters compare exactly,
// so a trail byte that happens to be a letter is never folded.
bool EqualNoCaseCp949(const std::string& a, const std::string& b);

// A copy with the ASCII letters A-Z lowered outside double-byte characters: a trail byte
// that happens to be a letter ("갂" is 81 41) stays as it is.
std::string LowerAsciiCp949(const std::string& text);
