#pragma once
// The message boxes through which every report in words is shown: an
// information box and a yes/no question, both over MessageBoxA with a fixed
// icon. Option mode shows them without an owner window; window mode passes
// the window they belong to.

#include <windows.h>

#include <cstdint>

// What AskYesNo stores in its answer: a reply to a question box, not a
// window callback's answer (AnswerHandled and the others).
constexpr int32_t ReplyNo = 1;
constexpr int32_t ReplyYes = 2;
constexpr int32_t ReplyMissingText = 3;  // the caption or the text was missing

// Quiet runs show no box: from SetBoxesQuiet(true) on, each box that would be
// shown is written instead as one line, "caption: text", to standard error
// (the line breaks of the text become blanks), and a question is answered No.
void SetBoxesQuiet(bool quiet);

// Shows caption and text with an OK button and the information icon, owned by
// owner (none: no owner). False, showing nothing, when the caption or the
// text is missing; otherwise true once the box has been closed, or kept for
// later (DeferredBoxes).
bool ShowInfo(HWND owner, const char* caption, const char* text);

// As ShowInfo, with the error icon: for what went wrong.
bool ShowError(HWND owner, const char* caption, const char* text);

// Asks with Yes and No buttons and the question icon; true exactly when the
// user chose Yes. answer (when given) receives ReplyYes or ReplyNo. A
// missing caption or text stores ReplyMissingText first and the box is shown
// all the same; when the box cannot be shown the answer keeps that value.
// With noByDefault, No is the default button, so that a stray Enter answers
// No: for questions whose Yes cannot be undone.
bool AskYesNo(HWND owner, const char* caption, const char* text, int32_t* answer, bool noByDefault = false);

// Boxes shown later: while one of these lives, ShowInfo and ShowError keep
// each box that would wait for a person (its owner, caption, text and icon)
// instead of showing it, and when the last of them ends, the boxes kept are
// shown in the order they came. The log hears of each box when it is kept; a
// quiet run's line and a describing run's "would show" line, which wait for
// nobody, are written at once. A change that holds the settings lock
// declares one before the lock, so that its boxes wait for a person only once
// the lock is let go and no other run waits on that person. Questions are
// never kept: their answer is needed at once.
class DeferredBoxes {
 public:
  DeferredBoxes();
  ~DeferredBoxes();
  DeferredBoxes(const DeferredBoxes&) = delete;
  DeferredBoxes& operator=(const DeferredBoxes&) = delete;
};
