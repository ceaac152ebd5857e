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
