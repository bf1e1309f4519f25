#include "foundation/log/event_source_win32.h"

EventSource::EventSource(const wchar_t* source)
    : handle_(RegisterEventSourceW(nullptr, source)), openError_(handle_ ? ERROR_SUCCESS : GetLastError()) {}

EventSource::~EventSource() {
  if (handle_) DeregisterEventSource(handle_);
}

bool EventSource::Report(WORD type, DWORD id, PSID user, const std::vector<std::wstring>& strings) const {
  if (!handle_) {
    SetLastError(openError_);
    return false;
  }
  std::vector<const wchar_t*> texts;
  for (const std::wstring& text : strings) texts.push_back(text.c_str());
  constexpr WORD NoCategory = 0;
  return ReportEventW(handle_, type, NoCategory, id, user, static_cast<WORD>(texts.size()), 0,
                      texts.empty() ? nullptr : texts.data(), nullptr) != FALSE;
}
