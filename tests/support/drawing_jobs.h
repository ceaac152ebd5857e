#pragma once
// What the drawing commands' end-to-end tests share: circuit list files
// written row by row, the mixed list every drawing test draws, and the
// steps of driving the real program from outside.
#include <windows.h>

#include <string>
#include <vector>

#include "app/Qel_Wirmap.h"
#include "tests/support/program_folder.h"
#include "tests/support/ui_driver.h"
#include "win32/text.h"

namespace qel::testing {

inline void Command(HWND main, UINT id) { PostMessageW(main, WM_COMMAND, id, 0); }

// One list row: NAME, START, kW, V, 88(MS), 6(☆), 19(M⊿), 49(TH), 49(A),
// MCB, MCB(Trip), I/F, Type, Tag, as a tab-separated line of the list file.
inline std::string Row(int no, const std::string& name, const std::string& start, const std::vector<std::string>& motor,
                const std::string& io = "", const std::string& type = "", const std::string& tag = "") {
  std::vector<std::string> cells(21);
  cells[0] = std::to_string(no);
  cells[1] = name;
  cells[2] = start;
  const int motorCols[] = {3, 4, 6, 7, 8, 9, 10, 11, 12};
  for (std::size_t i = 0; i < motor.size() && i < 9; ++i) cells[static_cast<std::size_t>(motorCols[i])] = motor[i];
  cells[18] = io;
  cells[19] = type;
  cells[20] = tag;
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
  return line + "\r\n";
}

inline const std::string kHeader =
    "No.\tNAME\tSTART\tkW\tV\tA\t88(MS)\t6(☆)\t19(M⊿)\t49(TH)\t49(A)\tMCB\tMCB(Trip)\tA.B\tC.D\tE.F\tG\tH\tI/F\tType\t"
    "Tag\r\n";

// Every drawing recipe over two pages; row 8 is a reserve row, so page 2
// starts without frame lines, and its first row is an instrument loop, so
// it has no supply bus either. Row 13 has no NAME: row 14 is never drawn.
inline std::string MixedList() {
  return kHeader + Row(1, "M1", "直", {"3.7", "200", "SC-5", "", "", "TR-5", "15", "NF30", "20"}) +
         Row(2, "D2", " ", {}, "Di>Ry", "Di-A", "T02") + Row(3, "D3", " ", {}, "Do", "Do-Ry", "T03") +
         Row(4, "F4", "送り漏", {"11", "200", "", "", "", "", "", "EG53", "50"}) +
         Row(5, "A5", " ", {}, "Ai>4", "Ai-", "T05") + Row(6, "W6", " ", {}, "Wo", "Wo-B", "T06") +
         Row(7, "S7", "☆⊿", {"22", "200", "SC-N2", "SC-N1", "SC-4", "TR-N2", "40", "NF100", "100"}) +
         Row(8, "SP", " ", {}) + Row(9, "A9", " ", {}, "Ao", "Ao-1", "T09") +
         Row(10, "R10", "可逆漏", {"1.5", "400", "SC-03", "", "", "TR-0N", "3.6", "EG33", "10"}) +
         Row(11, "W11", " ", {}, "Wi>PLC", "Wi-B", "T11") + Row(12, "A12", " ", {}, "Ai>C", "Ai-T", "T12") +
         Row(13, "", "", {}) + Row(14, "after a gap", "直", {"3.7", "200"});
}

// Loads a list file into the circuit list through the program's own open
// command (first file type: tab-separated).
inline void LoadList(const ProgramProcess& p, HWND main, const std::string& file) {
  Command(main, TQel_Wirmap::kLoad1);
  const auto dialog = WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no open dialog";
  AnswerFileDialog(dialog->hwnd, file, 1);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
}

// A page file is complete when it exists and its size holds for a while.
inline bool WaitForPage(const std::string& path, DWORD timeoutMs) {
  long long last = -1;
  int steady = 0;
  return WaitUntil(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        if (!GetFileAttributesExW(win::Wide(path).c_str(), GetFileExInfoStandard, &a)) return false;
        const long long size = (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
        steady = size > 0 && size == last ? steady + 1 : 0;
        last = size;
        Sleep(100);
        return steady >= 5;
      },
      timeoutMs);
}

inline std::string ComboEntry(HWND combo, int index) {
  DWORD_PTR len = 0;
  SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 2000, &len);
  std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &got);
  text.resize(static_cast<std::size_t>(len));
  return win::Narrow(text);
}

}  // namespace qel::testing
