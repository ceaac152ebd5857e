#pragma once
// How far a drawing job had got when AutoCAD stopped it, and what the user
// is told. Each page of a job ends with the text that saves it, so the
// texts AutoCAD received tell which page was being drawn.
#include <string>
#include <string_view>
#include <vector>

#include "acadlink/AcadFunc.h"

namespace qel {

// Whether the command text saves a page ("._SaveAS R14 <file>").
bool IsAcadPageSave(std::string_view text);

// The page being drawn when the job stopped: one past the pages whose save
// reached AutoCAD. 0 when every page's save had already reached it (only
// the closing settings were lost).
int AcadStoppedPage(const std::vector<std::string>& delivered, const std::vector<std::string>& undelivered);

// The one message a stopped job gets, naming the page when there is one.
std::string AcadJobStoppedMessage(TAcadDeliveryStop reason, int page);
inline constexpr const char* kAcadJobStoppedCaption = "AutoCAD";

}  // namespace qel
