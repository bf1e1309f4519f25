#pragma once
// The text form of a profile document: the reader, and the writer's form.

#include <cstdint>

#include "foundation/core/status.h"
#include "foundation/core/strings.h"
#include "foundation/profile/profile_document.h"

// The text form of a profile document: the reader that parses profile text
// (the syntax is in profile_scan.h), and the writer's form of a document.
//
// The writer's form: each section as "[" name "]", each entry as key " = "
// value, every line ended by CR LF, and one empty line at the end. An empty
// document is a single CR LF.

// Adds the sections and entries of text to document. text holds length bytes;
// a NUL byte ends it earlier. Never reads text[length] or beyond.
// StatusOk; StatusBadFormat when the text ends inside a header, or right after
// a header or a stray line without a line end; StatusNoMemory when a section
// or entry cannot be added. Whatever was parsed before stays in the document.
Status ReadProfileText(ProfileDocument& document, const char* text, uint32_t length);

// Receives the writer's bytes in order; false stops the writer.
typedef bool (*ProfileTextSink)(void* context, const char* bytes, uint32_t count);

// Sends the writer's form of document to sink. StatusOk, or StatusIoError as
// soon as the sink refuses bytes.
Status WriteProfileText(const ProfileDocument& document, ProfileTextSink sink, void* context);

// The writer's form of document in out (replacing its text). StatusNoMemory
// when out cannot hold it.
Status ProfileTextOf(const ProfileDocument& document, String& out);
