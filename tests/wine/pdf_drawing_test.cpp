// "PDFで保存(&F)..." in the real Qel-Wirmap.exe, driven from outside: its
// save dialog, the overwrite question, the file with the prefix's Japanese
// font embedded, and a folder where nothing can be written. What the PDF
// holds is read by poppler in the native tests (pdf_pages_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "tests/support/drawing_jobs.h"

namespace qel {
namespace {

using testing::ProgramFolder;
using testing::ProgramProcess;

testing::DialogSeen NextDialog(const ProgramProcess& p, UINT button) {
  const auto box = testing::WaitForDialog(p.Pid());
  EXPECT_TRUE(box) << "no dialog";
  if (!box) return {};
  testing::PressButton(box->hwnd, button);
  EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindow(box->hwnd); }));
  return *box;
}

void SavePdfAs(const ProgramProcess& p, HWND main, const std::string& path, std::vector<std::string>* types = nullptr) {
  testing::Command(main, TQel_Wirmap::kPdfF);
  const auto dialog = testing::WaitForDialog(p.Pid());
  ASSERT_TRUE(dialog) << "no save dialog";
  if (types) {
    HWND list = GetDlgItem(dialog->hwnd, 1136);
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (int i = 0; i < static_cast<int>(count); ++i) types->push_back(testing::ComboEntry(list, i));
  }
  testing::AnswerFileDialog(dialog->hwnd, path, 1);
  ASSERT_TRUE(testing::WaitUntil([&] { return !IsWindow(dialog->hwnd) || !IsWindowVisible(dialog->hwnd); }));
}

TEST(PdfDrawing, QuestionFileAndUnwritableFolder) {
  ProgramFolder folder;
  folder.AddTable("Qel-Acad.DWG");
  ReplaceFileContents(folder.File("list.txt"), testing::kHeader + testing::Row(1, "給水ポンプ", "直", {"3.7", "200"}));
  ReplaceFileContents(folder.File("plant.pdf"), "kept");
  ProgramProcess p(testing::ProgramExe(), folder.Path());
  const HWND main = p.WaitForWindow(L"TQel_Wirmap");
  ASSERT_TRUE(main);
  testing::LoadList(p, main, folder.File("list.txt"));

  // Typed without extension: the dialog adds ".pdf", and that file exists.
  std::vector<std::string> types;
  SavePdfAs(p, main, folder.File("plant"), &types);
  EXPECT_EQ(types, std::vector<std::string>{"PDF (*.pdf)"});
  const testing::DialogSeen question = NextDialog(p, IDNO);
  EXPECT_EQ(question.caption, "確認");
  EXPECT_EQ(question.text, "同名ファイルがあります = plant.pdf 実行しますか ?");
  EXPECT_FALSE(testing::WaitUntil([&] { return testing::FindDialog(p.Pid()).has_value(); }, 2000)) << "No ends it";
  EXPECT_EQ(ReadWholeFile(folder.File("plant.pdf")), "kept");

  SavePdfAs(p, main, folder.File("plant.pdf"));
  NextDialog(p, IDYES);
  const testing::DialogSeen done = NextDialog(p, IDOK);
  EXPECT_EQ(done.caption, "PDFで保存");
  EXPECT_EQ(done.text, "1 ページのPDFファイルを書き出しました。\r\n" + folder.File("plant.pdf"));
  const std::string pdf = ReadWholeFile(folder.File("plant.pdf"));
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/FontFile2"), std::string::npos) << "the font is embedded";
  EXPECT_NE(pdf.find("+IPAGothic"), std::string::npos) << "the prefix's fonts folder gives IPA Gothic, as a subset";

  // Nothing can be created in /proc, not even by root.
  SavePdfAs(p, main, "Z:\\proc\\plant.pdf");
  const testing::DialogSeen failed = NextDialog(p, IDOK);
  EXPECT_EQ(failed.caption, "PDFで保存");
  const std::string head = "PDFファイルを書けません = Z:\\proc\\plant.pdf\r\n";
  EXPECT_EQ(failed.text.substr(0, head.size()), head) << failed.text;
  EXPECT_EQ(GetFileAttributesW(L"Z:\\proc\\plant.pdf"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace qel
