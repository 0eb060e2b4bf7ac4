// Stream items: the records that travel along cords between elements.
#pragma once

#include <SupportDefs.h>

#include <cstdint>
#include <cstdlib>

// Item type codes. Value types keep a 32-bit value in `data`; the others
// point to a payload that the item owns when `size` is non-zero.
enum : uint32 {
	Z_MIDI = 'MIDI',  // 128-byte packet of up to 32 MIDISeq events
	Z_MTIM = 'MTIM',  // time stamp in milliseconds of the system clock
	Z_MTPO = 'MTPO',  // tempo: microseconds per beat
	Z_MTRK = 'MTRK',  // track number, -1 for none
	Z_MMTD = 'MMTD',  // meta event: type byte followed by its data
	Z_MSYX = 'MSYX',  // system-exclusive body without F0 and F7
	Z_CHRD = 'CHRD',  // chord report
	Z_CTRL = 'CTRL',  // control event: kind, index, 16-bit value
	Z_SWCH = 'SWCH',  // set of 32 switch bits
	Z_LINE = 'LINE',  // one zero-terminated text line
	Z_TEXT = 'TEXT',  // zero-terminated text
	Z_DATA = 'DATA',  // DataBuf chunk of a byte stream
	Z_EODS = 'EODS',  // end of a data stream
};

struct ZItem {
	uint32 type;
	void* data;
	int32 size;
	uint32 extra;

	ZItem() : type(0), data(nullptr), size(0), extra(0) {}
	ZItem(const ZItem&) = default;
	ZItem& operator=(const ZItem&) = default;
	~ZItem()
	{
		if (size != 0)
			free(data);
	}
};

// The 32-bit value of a value item ('MTIM', 'CTRL', ...).
inline int32 zvalue(const ZItem& item)
{
	return int32(uint32(uintptr_t(item.data)));
}

inline void set_zvalue(ZItem& item, int32 value)
{
	item.data = reinterpret_cast<void*>(uintptr_t(uint32(value)));
}

// One MIDI event inside a packet.
struct MIDISeq {
	uint8 status;
	uint8 data1;
	uint8 data2;
	uint8 marks;
};
static_assert(sizeof(MIDISeq) == 4, "MIDISeq is four bytes");

// The payload of a 'DATA' item.
struct DataBuf {
	int32 count;
	uint8 data[256];
};
static_assert(sizeof(DataBuf) == 260, "DataBuf is 260 bytes");

constexpr int kPacketSlots = 32;
constexpr int kPacketBytes = 128;
constexpr int kDataBufSize = 256;

// Mark n is bit n - 1 of an event's marks byte.
constexpr uint8 mark_bit(int n)
{
	return uint8(1u << (n - 1));
}

// Releases an item's payload if it owns one (a 'MIDI' packet with array
// delete, anything else with free) and zeroes all four fields.
void clear_item(ZItem& item);
// The same for modules whose own arrays never hold 'MIDI' packets: every
// owned payload is released with free.
void clear_item_plain(ZItem& item);
void clear_items(ZItem* items, int count);
// Releases the 'MIDI' packets of the array, then destroys the array itself
// (the item destructors free what is left) and sets items to null.
void clearItems(ZItem*& items, int& count);

// An all-zero item for resetting items by assignment.
extern ZItem zero_item;
