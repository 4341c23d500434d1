// What the download tests share: the test server's generated bodies, a message loop
// that runs until something happened, texts in the dialogs' code page, scratch files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// Bytes [offset, offset + n) of the server's "generate" body: byte i is
// (P[i % 65521] + i / 65521) & 0xFF with P[j] = (7j + (j >> 8)) & 0xFF.
std::string GeneratedBytes(uint64_t offset, size_t n);

// Runs the thread's message loop until done() or timeoutMs; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Runs the message loop for ms milliseconds.
void PumpFor(DWORD ms);

// UTF-16 text as CP949 (the sources' literals).
std::string Narrow949(const std::wstring& text);

// A window's text and a dialog item's text, in CP949.
std::string WindowText949(HWND window);
std::string ItemText949(HWND dialog, int id);

// The temporary folder, with its trailing backslash.
std::string TempFolder();
std::string ReadWholeFile(const std::string& path, bool* exists = nullptr);
// True when nobody holds the file open (it can be opened without sharing).
bool FileIsClosed(const std::string& path);
// "YYYYMD" of today's local date, as the generated names carry it.
std::string TodayStamp();
