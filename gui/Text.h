// Text and numbers: integer conversion, rounding, UTF-8 <-> UTF-16, the command line, paths.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gui {

// Signed 32-bit integer from text: leading blanks, an optional sign, decimal digits or "$"/"0x"
// followed by hexadecimal digits, and nothing after the digits. Throws EConvertError
// "'<text>' is not a valid integer value" otherwise, also when out of range.
int StrToInt(const std::string& text);
// The same rules without the exception.
bool TryStrToInt(const std::string& text, int& value);
std::string IntToStr(std::int64_t value);

// The nearest integer; halves go to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
std::int64_t Round(double value);

// Removes leading and trailing characters up to and including the blank (control characters).
std::string Trim(const std::string& text);
// Upper case of the ASCII letters a to z only.
std::string UpperCase(const std::string& text);

// UTF-8 <-> UTF-16 for the wide Windows functions; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Splits a command line into arguments: blanks separate, double quotes group (and are
// removed). The first entry is the program as written on the command line.
std::vector<std::string> SplitCommandLine(std::wstring_view commandLine);
// The number of arguments after the program on this process's command line.
int ParamCount();
// Argument i of this process's command line; 0 is the program's full path; "" when out of range.
std::string ParamStr(int index);

// The folder part of a path, with its trailing separator ("C:\a\b.exe" -> "C:\a\").
std::string ExtractFilePath(const std::string& path);
// The folder of the running program, with trailing separator.
std::string ProgramFolder();
// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

} // namespace gui
