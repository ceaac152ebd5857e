#include "acadlink/AcadCtrl.h"

#include "acadlink/AcadUnit.h"
#include "base/cp932.h"

namespace qel {

namespace {

const char kJapanesePrompt[] = "ｺﾏﾝﾄﾞ: ";  // 7 bytes in CP932
const char kCommandPrompt[] = "Command: ";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string UpperText(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t len = cp932::CharLength(out, pos);
    if (len == 1) out[pos] = AsciiUpper(out[pos]);
    pos += len;
  }
  return out;
}

}  // namespace

int EditionOfAcadType(TAcadType type) {
  const int t = static_cast<int>(type);
  if (t >= 1 && t <= 6) return t;
  if (t >= 10 && t <= 14) return t - 3;
  return 0;
}

TAcadType AcadTypeOfEdition(int edition) {
  if (edition >= 1 && edition <= 6) return static_cast<TAcadType>(edition);
  if (edition >= 7 && edition <= 11) return static_cast<TAcadType>(edition + 3);
  return atNOACAD;
}

int StoredInterval(int requested) { return requested < 0 ? 0 : requested; }
int WatchTimerPeriod(int interval) { return interval > 0 ? interval / 2 : 0; }

int ShowCodeOf(TShowState state) {
  switch (state) {
    case ssMINIMIZE: return 1;
    case ssMAXIMIZE: return 2;
    default: return 0;
  }
}

bool IsBareCommandPrompt(std::string_view prompt) {
  return prompt == kJapanesePrompt || EqualsIgnoringCase(prompt, kCommandPrompt);
}

std::string PromptParam(std::string_view prompt) {
  const std::string_view jp = kJapanesePrompt;
  const std::string_view en = kCommandPrompt;
  if (prompt.substr(0, jp.size()) == jp) return std::string(prompt.substr(jp.size()));
  if (prompt.size() >= en.size() && EqualsIgnoringCase(prompt.substr(0, en.size()), en))
    return std::string(prompt.substr(en.size()));
  return std::string(prompt);
}

bool PromptAsksForEnter(std::string_view prompt) {
  const std::string u = UpperText(TrimText(prompt));
  if (u.empty() || u.back() != ':') return false;
  const std::size_t ret = u.find(" RETURN ");
  const std::size_t enter = u.find("[ENTER]");
  return (ret != std::string::npos && ret > 0) || (enter != std::string::npos && enter > 0);
}

void PromptWatch::Reset() {
  lastPrompt_.clear();
  lastInput_.clear();
  lastWaitMessage_.clear();
  waitCount_ = 0;
}

void PromptWatch::ForgetTexts() {
  lastPrompt_.clear();
  lastInput_.clear();
}

PromptWatch::Decision PromptWatch::Tick(const std::string& p, const std::string& b, const Listeners& l,
                                        TCmdSearch search, bool phase, const std::string& waitMessage,
                                        const std::function<std::string()>& readInput) {
  Decision d;
  if (l.cmdChange || l.cmdWait || l.autoEnter) {
    // Two prompt windows that disagree mean AutoCAD is between states;
    // that is neither a change nor idle.
    if (p == b) {
      d.changed = p != lastPrompt_;
      lastPrompt_ = p;
      if (search == csALLCHECK && phase && readInput) {
        const std::string input = readInput();
        d.changed = d.changed || input != lastInput_;
        lastInput_ = input;
      }
    }
  }
  d.idle = p == b && IsBareCommandPrompt(p);
  d.param = d.idle ? std::string() : PromptParam(p);
  d.raiseCmdChange = l.cmdChange && d.changed;
  if (d.idle && l.cmdWait) {
    d.raiseCmdWait = !d.changed && waitCount_ == 1;
    if (d.changed)
      waitCount_ = 0;
    else if (waitCount_ < 3)
      ++waitCount_;
  }
  if (l.waitMessage && !waitMessage.empty() && !d.param.empty() && d.param != lastWaitMessage_ &&
      d.param.find(waitMessage) != std::string::npos) {
    lastWaitMessage_ = d.param;
    d.raiseWaitMessage = true;
  }
  d.answerEnter = !d.idle && l.autoEnter && d.changed && PromptAsksForEnter(p);
  return d;
}

}  // namespace qel
