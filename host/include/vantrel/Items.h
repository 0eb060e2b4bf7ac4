// Owned copies of item lists, for fan-out and for tests to inspect.
#pragma once

#include <ZItem.h>
#include <vantrel/Module.h>

#include <string>
#include <vector>

namespace vantrel {

// One item as it was when copied: the four words plus the payload bytes
// of an owned payload.
struct ItemCopy {
	uint32 type = 0;
	uintptr_t data = 0;
	int32 size = 0;
	uint32 extra = 0;
	std::vector<uint8> payload;

	int32 value() const { return int32(uint32(data)); }
	// The events of a 'MIDI' payload, up to the terminator.
	std::vector<MIDISeq> events() const;
	// All 32 slots of a 'MIDI' payload.
	std::vector<MIDISeq> slots() const;
	// The text of a 'LINE' or 'TEXT' payload; the valid bytes of 'DATA'.
	std::string text() const;
	std::vector<uint8> bytes() const;
};

using Delivery = std::vector<ItemCopy>;

// Copies an item list as it is now.
Delivery Snapshot(const ZItem* items, int count);

// An item array owned by the caller, built with the allocators the item
// types call for, and released the same way.
class ItemList {
public:
	ItemList() = default;
	explicit ItemList(int count);
	ItemList(const ItemList&) = delete;
	ItemList& operator=(const ItemList&) = delete;
	ItemList(ItemList&& other) noexcept;
	ItemList& operator=(ItemList&& other) noexcept;
	~ItemList();

	// Builders; each appends one item.
	ItemList& Empty();
	ItemList& Value(uint32 type, int32 value);
	ItemList& Time(int32 ms) { return Value(Z_MTIM, ms); }
	ItemList& Midi(const std::vector<MIDISeq>& events, bool terminate = true);
	// A 'MIDI' item with exactly these 32 slots.
	ItemList& MidiSlots(const std::vector<MIDISeq>& slots);
	ItemList& Data(const std::vector<uint8>& bytes);
	ItemList& Line(const std::string& text);
	ItemList& Text(const std::string& text);
	ItemList& Sysex(const std::vector<uint8>& body);
	ItemList& Meta(uint8 metaType, const std::string& text, int32 sizeOverride = -1);
	ItemList& EndOfData();
	ItemList& Raw(uint32 type, void* data, int32 size);

	ZItem*& items() { return fItems; }
	int& count() { return fCount; }
	ZItem& operator[](int index) { return fItems[index]; }
	Delivery snapshot() const { return Snapshot(fItems, fCount); }
	std::vector<MIDISeq> events(int index) const;

	// Releases every owned payload by its type's rule and the array.
	void Release();

private:
	void Grow();

	ZItem* fItems = nullptr;
	int fCount = 0;
};

// Allocates a deep copy of the list: owned 'MIDI' packets with array new,
// every other owned payload with malloc; unowned words are shared.
ZItem* DeepCopy(const ZItem* items, int count);
// Releases a list made by DeepCopy (or any host-owned list).
void ReleaseList(ZItem*& items, int& count);

std::string DescribeItem(const ItemCopy& item);

}  // namespace vantrel
