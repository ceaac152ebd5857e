#pragma once
// The drawing pages saved as one PDF file, the "PDFで保存" command flow
// around the PDF writer: the fonts it looks for, the overwrite question,
// the closing messages. The pages are the preview's geometry of the same
// page layout the DXF and AutoCAD outputs draw.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dxf/drawing.h"
#include "dxf/preview_geometry.h"
#include "pdf/pdf_pages.h"

namespace qel {

std::vector<dxf::PreviewPage> FlattenPages(const std::vector<dxf::Drawing>& pages);

// The save dialog's file type and the default extension of a name typed without one.
std::vector<std::pair<std::string, std::string>> PdfSaveFilter();
inline constexpr const char* kPdfDefaultExt = "pdf";
inline constexpr const char* kPdfMessageCaption = "PDFで保存";

// The Japanese fonts looked for in the fonts folder, in this order: MS
// Gothic (every Japanese Windows), then IPA Gothic (what a Wine prefix of
// this project has).
std::vector<pdf::FontFile> PdfFontCandidates(const std::string& fontsFolder);

struct PdfSaveOutcome {
  bool ran = false;     // false: the user answered No; nothing was read or written
  bool ok = false;
  std::string message;  // shown when it ran
};

// Everything after the save dialog, in this order: the first candidate font
// that `fileExists` finds (none: a message, nothing written); the overwrite
// question through `askYesNo(text, caption)` when the file exists; the
// pages from `makeDrawings` (false: its message is shown), their title
// blocks filled (図面名称 the file's base name, 頁 n / N, 日付 `date`);
// the file, written beside its target and then put in its place. `note`
// (rows left undrawn) closes the message of a file written.
PdfSaveOutcome SavePagesAsPdf(const std::string& path, const std::vector<pdf::FontFile>& fonts,
                              const std::function<bool(std::vector<dxf::Drawing>&, std::string&)>& makeDrawings,
                              const std::function<bool(const std::string&)>& fileExists,
                              const std::function<bool(const std::string&, const std::string&)>& askYesNo,
                              const std::string& date, const std::string& note = "");

}  // namespace qel
