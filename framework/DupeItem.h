// Copying an item into a slot that may already hold a buffer of its own.
#pragma once

#include "ZItem.h"

// Copies `from` into `to`. An owned payload is copied into a buffer that
// `to` owns, taken with malloc whatever the item type; a slot whose size
// already matches keeps its buffer and only has the bytes overwritten, so
// repeated copies of lists of the same shape allocate nothing. An unowned
// data word is shared.
void dupe_item(const ZItem& from, ZItem& to);
