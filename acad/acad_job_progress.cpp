#include "acad/acad_job_progress.h"

#include <algorithm>


namespace qel {

bool IsAcadPageSave(std::string_view text) {
  constexpr std::string_view kSave = "._saveas ";
  if (text.size() < kSave.size()) return false;
  for (std::size_t i = 0; i < kSave.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kSave[i]) return false;
  }
  return true;
}

int AcadStoppedPage(const std::vector<std::string>& delivered, const std::vector<std::string>& undelivered) {
  if (std::none_of(undelivered.begin(), undelivered.end(), [](const std::string& t) { return IsAcadPageSave(t); }))
    return 0;
  return 1 + static_cast<int>(std::count_if(delivered.begin(), delivered.end(),
                                            [](const std::string& t) { return IsAcadPageSave(t); }));
}

std::string AcadJobStoppedMessage(TAcadDeliveryStop reason, int page) {
  std::string text = reason == TAcadDeliveryStop::TargetGone ? "AutoCAD が終了しました。作図を中止しました。"
                                                             : "AutoCAD が応答しません。作図を中止しました。";
  if (page > 0) text += "(ページ " + std::to_string(page) + ")";
  return text;
}

}  // namespace qel
