// The one place for MessageBoxA (user32, loaded from the system folder when
// the first box is shown: option mode mostly shows none; without it the box
// gives 0, as when it cannot be shown).
#include "toolkit/message_boxes_win32.h"

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/core/what_if.h"
#include "foundation/log/operations_log.h"

namespace {

// MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONERROR and MB_YESNO | MB_ICONQUESTION.
constexpr UINT InfoStyle = 0x40;
constexpr UINT ErrorStyle = 0x10;
constexpr UINT QuestionStyle = 0x24;
static_assert(InfoStyle == (MB_OK | MB_ICONINFORMATION), "an OK box with the information icon");
static_assert(ErrorStyle == (MB_OK | MB_ICONERROR), "an OK box with the error icon");
static_assert(QuestionStyle == (MB_YESNO | MB_ICONQUESTION), "a Yes/No box with the question icon");

bool quietBoxes = false;

// The boxes kept while a DeferredBoxes lives, and how many live.
struct DeferredBox {
  HWND owner;
  std::string caption;
  std::string text;
  UINT style;
};
std::vector<DeferredBox> deferredBoxes;
int deferringScopes = 0;

// The box as one line on standard error: "caption: text".
void WriteBoxLine(const char* caption, const char* text) {
  std::string line = std::string(caption ? caption : "") + ": " + (text ? text : "");
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  line += '\n';
  fwrite(line.data(), 1, line.size(), stderr);
  fflush(stderr);
}

// An OK box with style's icon, or its line in a quiet run.
bool ShowOkBox(HWND owner, const char* caption, const char* text, UINT style) {
  if (!caption || !text) return false;
  const std::string box = std::string("box ") + Quoted(caption) + ": " + text;
  // A run that describes its changes shows no box: it names the box.
  if (ChangesAreDescribed()) {
    LogChange(LogEventKind::Note, box, "show " + box);
    return true;
  }
  LogEvent(box);
  if (quietBoxes) {
    WriteBoxLine(caption, text);
    return true;
  }
  // A box waits for a person: kept for later while a change holds the lock.
  if (deferringScopes > 0) {
    deferredBoxes.push_back({owner, caption, text, style});
    return true;
  }
  MessageBoxA(owner, text, caption, style);
  return true;
}

}  // namespace

void SetBoxesQuiet(bool quiet) { quietBoxes = quiet; }

DeferredBoxes::DeferredBoxes() { ++deferringScopes; }

DeferredBoxes::~DeferredBoxes() {
  if (--deferringScopes > 0) return;
  std::vector<DeferredBox> boxes;
  boxes.swap(deferredBoxes);
  for (const DeferredBox& box : boxes) MessageBoxA(box.owner, box.text.c_str(), box.caption.c_str(), box.style);
}

bool ShowInfo(HWND owner, const char* caption, const char* text) { return ShowOkBox(owner, caption, text, InfoStyle); }

bool ShowError(HWND owner, const char* caption, const char* text) { return ShowOkBox(owner, caption, text, ErrorStyle); }

bool AskYesNo(HWND owner, const char* caption, const char* text, int32_t* answer, bool noByDefault) {
  if ((!caption || !text) && answer) *answer = ReplyMissingText;
  if (caption && text) LogEvent(std::string("box ") + Quoted(caption) + ": " + text);
  if (quietBoxes || ChangesAreDescribed()) {
    LogEvent("answered No (no box in a quiet run)");
    WriteBoxLine(caption, text);
    if (answer) *answer = ReplyNo;
    return false;
  }
  switch (MessageBoxA(owner, text, caption, QuestionStyle | (noByDefault ? MB_DEFBUTTON2 : 0))) {
    case IDYES:
      LogEvent("answered Yes");
      if (answer) *answer = ReplyYes;
      return true;
    case IDNO:
      LogEvent("answered No");
      if (answer) *answer = ReplyNo;
      return false;
    default:
      return false;
  }
}
