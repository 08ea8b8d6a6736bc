// A Windows program for the desktop tests under Wine: prints, as UTF-8, the
// text of the message box captioned CAPTION that is on screen now, read through
// the system's user32 alone (the box is a dialog of class #32770 whose message
// is its one static control with text). Exits 1 when there is no such box.
//   message_box_text.exe CAPTION
#include <windows.h>

#include <string>

namespace {

BOOL CALLBACK take_static_text(HWND child, LPARAM found) {
  wchar_t class_name[16] = {};
  GetClassNameW(child, class_name, 16);
  if (lstrcmpiW(class_name, L"Static") != 0) return TRUE;
  const int length = GetWindowTextLengthW(child);
  if (length == 0) return TRUE;  // the icon
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), length + 1)));
  *reinterpret_cast<std::wstring*>(found) = text;
  return FALSE;
}

// Written unconverted: the C runtime's text mode would turn "\r\n" into "\r\r\n".
void write_utf8(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 64;
  const HWND box = FindWindowW(L"#32770", argv[1]);
  if (box == nullptr) return 1;
  std::wstring text;
  EnumChildWindows(box, take_static_text, reinterpret_cast<LPARAM>(&text));
  if (text.empty()) return 1;
  write_utf8(text);
  return 0;
}
