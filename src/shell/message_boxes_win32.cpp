// The one place for MessageBoxA (user32, loaded from the system folder when
// the first box is shown: option mode mostly shows none).
#include "shell/message_boxes.h"

#include "foundation/system_libraries_win32.h"

namespace {

// MB_OK | MB_ICONINFORMATION and MB_YESNO | MB_ICONQUESTION.
constexpr UINT InfoStyle = 0x40;
constexpr UINT QuestionStyle = 0x24;
static_assert(InfoStyle == (MB_OK | MB_ICONINFORMATION), "an OK box with the information icon");
static_assert(QuestionStyle == (MB_YESNO | MB_ICONQUESTION), "a Yes/No box with the question icon");

HWND mainWindow = nullptr;

typedef int(WINAPI* MessageBoxCall)(HWND, LPCSTR, LPCSTR, UINT);

// The box's answer; 0, as MessageBoxA gives when it fails, when user32
// cannot be loaded.
int ShowBox(HWND owner, const char* text, const char* caption, UINT style) {
  auto messageBox = SystemFunctionAs<MessageBoxCall>(SystemLibrary::User, "MessageBoxA");
  return messageBox ? messageBox(owner, text, caption, style) : 0;
}

}  // namespace

HWND MainWindow() { return mainWindow; }

void SetMainWindow(HWND window) { mainWindow = window; }

bool ShowInfo(HWND owner, const char* caption, const char* text) {
  if (!caption || !text) return false;
  ShowBox(owner, text, caption, InfoStyle);
  return true;
}

bool AskYesNo(HWND owner, const char* caption, const char* text, int32_t* answer, bool noByDefault) {
  if ((!caption || !text) && answer) *answer = AnswerMissingText;
  switch (ShowBox(owner, text, caption, QuestionStyle | (noByDefault ? MB_DEFBUTTON2 : 0))) {
    case IDYES:
      if (answer) *answer = AnswerYes;
      return true;
    case IDNO:
      if (answer) *answer = AnswerNo;
      return false;
    default:
      return false;
  }
}

void ShowNotRegistered(HWND owner) { ShowInfo(owner, NotRegisteredCaption, NotRegisteredText); }
