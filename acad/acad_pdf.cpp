#include "acad/acad_pdf.h"

#include "acad/a_cad.h"
#include "acad/acad_dxf.h"
#include "base/file_io.h"
#include "base/paths.h"

namespace qel {

std::vector<dxf::PreviewPage> FlattenPages(const std::vector<dxf::Drawing>& pages) {
  std::vector<dxf::PreviewPage> flat;
  flat.reserve(pages.size());
  for (const dxf::Drawing& page : pages) flat.push_back(dxf::FlattenPage(page));
  return flat;
}

std::vector<std::pair<std::string, std::string>> PdfSaveFilter() { return {{"PDF (*.pdf)", "*.pdf"}}; }

std::vector<pdf::FontFile> PdfFontCandidates(const std::string& fontsFolder) {
  return {{paths::Join(fontsFolder, "msgothic.ttc"), 0}, {paths::Join(fontsFolder, "ipag.ttf"), 0}};
}

PdfSaveOutcome SavePagesAsPdf(const std::string& path, const std::vector<pdf::FontFile>& fonts,
                              const std::function<bool(std::vector<dxf::Drawing>&, std::string&)>& makeDrawings,
                              const std::function<bool(const std::string&)>& fileExists,
                              const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                              const std::string& date, const std::string& note) {
  PdfSaveOutcome outcome;
  const pdf::FontFile* font = nullptr;
  for (const pdf::FontFile& candidate : fonts)
    if (!font && fileExists(candidate.path)) font = &candidate;
  if (!font) {
    outcome.ran = true;
    outcome.message = "PDFに埋め込む日本語フォントが見つかりません。PDFは書き出しませんでした。\r\n探したフォント:";
    for (const pdf::FontFile& candidate : fonts) outcome.message += "\r\n" + candidate.path;
    return outcome;
  }
  const std::string name = paths::FileName(path);
  if (fileExists(path) && !askYesNo("同名ファイルがあります = " + name + " 実行しますか ?", kAcadOverwriteCaption))
    return outcome;
  outcome.ran = true;
  std::vector<dxf::Drawing> drawings;
  if (!makeDrawings(drawings, outcome.message)) return outcome;
  const std::string title = paths::ChangeExtension(name, "");
  FillTitleBlocks(drawings, title, date);
  const std::vector<dxf::PreviewPage> pages = FlattenPages(drawings);
  try {
    // Written beside the target and then put in its place.
    ReplaceFileContents(path, pdf::PdfDocument(pages, *font, title));
  } catch (const pdf::PdfError& e) {
    outcome.message = "PDFファイルを作れません = " + path + "\r\n" + e.what();
    return outcome;
  } catch (const FileError& e) {
    outcome.message = "PDFファイルを書けません = " + path + "\r\n" + e.what();
    return outcome;
  }
  outcome.ok = true;
  outcome.message = std::to_string(pages.size()) + " ページのPDFファイルを書き出しました。\r\n" + path;
  if (!note.empty()) outcome.message += "\r\n\r\n" + note;
  return outcome;
}

}  // namespace qel
