#pragma once
// The download-site list in a profile document and in memory: the portable
// half of the site files (download_sites.h).

#include "foundation/heap_string.h"
#include "foundation/profile_document.h"
#include "foundation/status.h"
#include "foundation/typed_array.h"

// Appends a copy of the value of every "site" entry of the last "Download
// Sites" section of document to list, in order; entries under other keys are
// passed over. StatusNotFound when there is no such section; StatusNoMemory
// when a copy could not be made (the list then holds the sites before it).
Status CollectSites(ProfileDocument& document, TypedArray<String>& list);

// Makes the last "Download Sites" section of document (added when missing)
// hold exactly one "site" entry per non-empty element of list, in order.
// False when memory runs out; the section may then hold only some sites.
bool PutSites(ProfileDocument& document, const TypedArray<String>& list);

// True when an element of list holds exactly site (an emptied element holds
// the empty text).
bool ListsSite(const TypedArray<String>& list, const char* site);
// Inserts a copy of site at position 0 unless it is listed already. False
// when it was not listed and could not be inserted.
bool AddSite(TypedArray<String>& list, const char* site);
// Empties every element that holds exactly site; the elements stay in place.
void RemoveSite(TypedArray<String>& list, const char* site);

// Fills an empty document with the built-in contents of
// "ControlPanelv306.ini". False when memory runs out.
bool BuildDefaultSiteSettings(ProfileDocument& document);
