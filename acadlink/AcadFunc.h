#pragma once
// How a command text is cut into deliveries: the whole text as one
// zero-terminated payload, or line by line with a prompt-poll allowance
// that grows with the text already consumed. Portable; the message side is
// AcadFunc_win.h.
#include <string>
#include <string_view>
#include <vector>

namespace qel {

// Polls of the prompt window allowed before a whole-text delivery.
constexpr int kWholeTextPolls = 51;

// Why a delivery stopped short of handing its text over. A text is never
// given up on while AutoCAD lives and answers within the reply limit; when
// it does not, the job stops instead of going on with pieces missing.
enum class TAcadDeliveryStop {
  None,        // delivered, or refused by AutoCAD (the queue goes on)
  NoAnswer,    // AutoCAD did not answer for longer than the reply limit
  TargetGone,  // AutoCAD's main window (and with it the process) is gone
  Cancelled,   // the delivery thread was told to end
};

// The bytes handed over in one WM_COPYDATA: the text and its terminating
// zero (cbData is the size of this).
std::string CopyDataPayload(std::string_view text);

struct CommandLine {
  std::string text;  // up to and including its carriage return, no line feed
  int polls;         // prompt polls allowed before it is delivered
};

struct CommandLines {
  std::vector<CommandLine> lines;
  // Text after the last carriage return; it is never delivered.
  std::string remainder;
};

// Line mode: each line ends at a carriage return; one line feed after it is
// dropped. The allowance before a line is 2 x (bytes consumed including
// that line) + 1.
CommandLines SplitCommandLines(std::string_view text);

}  // namespace qel
