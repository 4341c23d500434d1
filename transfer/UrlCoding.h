// Percent coding of query values and of paths handed over by script.
#pragma once

#include <string>

// ASCII letters and digits stay; every other byte becomes "%" and two uppercase hex digits.
std::string UrlEncodeQueryValue(const std::string& value);

// Every "%" followed by two hex digits (either case) becomes that byte; a "%" without two
// hex digits after it stays as it is, and so does "%00", since no path can hold a zero
// byte. Nothing else changes: a "+" stays a "+".
std::string PercentDecode(const std::string& text);
