#include "win32/system_error.h"

#include <windows.h>

#include <cstdio>

#include "win32/text.h"

namespace qel::win {

namespace {

std::wstring FromSystem(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

// Texts for the COM and automation codes a client meets when a server is
// missing or refuses a call, for systems whose message table lacks them
// (Wine's has none of these): a user reads what went wrong, not a number.
const char* AutomationText(DWORD code) {
  switch (code) {
    case 0x800401F3: return "無効なクラス文字列です。";                    // CO_E_CLASSSTRING
    case 0x80040154: return "クラスが登録されていません。";                // REGDB_E_CLASSNOTREG
    case 0x800401F0: return "CoInitialize は呼び出されていません。";       // CO_E_NOTINITIALIZED
    case 0x80080005: return "サーバーの実行に失敗しました。";              // CO_E_SERVER_EXEC_FAILURE
    case 0x80010108: return "起動されたオブジェクトはクライアントから切断されました。";  // RPC_E_DISCONNECTED
    case 0x80020003: return "メンバーが見つかりません。";                  // DISP_E_MEMBERNOTFOUND
    case 0x80020005: return "型が一致しません。";                          // DISP_E_TYPEMISMATCH
    case 0x80020006: return "名前が見つかりません。";                      // DISP_E_UNKNOWNNAME
    case 0x80020009: return "例外が発生しました。";                        // DISP_E_EXCEPTION
    case 0x8002000E: return "パラメーターの数が無効です。";                // DISP_E_BADPARAMCOUNT
    case 0x8002000F: return "パラメーターは省略可能ではありません。";      // DISP_E_PARAMNOTOPTIONAL
    default: return nullptr;
  }
}

}  // namespace

std::string SystemMessage(unsigned long code) {
  std::wstring text = FromSystem(code);
  // A Win32 error carried in an HRESULT has its text under the plain code.
  if (text.empty() && HRESULT_FACILITY(code) == FACILITY_WIN32) text = FromSystem(HRESULT_CODE(code));
  if (!text.empty()) return Narrow(text);
  if (const char* own = AutomationText(code)) return own;
  char hex[32];
  std::snprintf(hex, sizeof hex, "error 0x%08lX", code);
  return hex;
}

}  // namespace qel::win
