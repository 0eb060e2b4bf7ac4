// Reading, compacting and building MIDI packets.
#pragma once

#include "ZItem.h"

#include <cstring>

// MIDI message classes by (status >> 4) & 7.
enum : int {
	kClassNoteOff = 0,
	kClassNoteOn,
	kClassPolyPressure,
	kClassControl,
	kClassProgram,
	kClassChannelPressure,
	kClassPitchBend,
	kClassSystem,
};

inline int event_class(uint8 status)
{
	return (status >> 4) & 7;
}

inline bool is_channel_message(uint8 status)
{
	return (status & 0x70) <= 0x60;
}

inline bool is_blank(const MIDISeq& event)
{
	return event.status == 0 && event.data1 == 0 && event.data2 == 0 && event.marks == 0;
}

// The events of a packet from the first slot to the terminator or the end
// of the slots. By default an event with status 0 ends the list; with
// kBlankEnds only an all-zero event does.
class PacketEvents {
public:
	enum End { kStatusEnds, kBlankEnds };

	PacketEvents(void* packet, int slots = kPacketSlots, End end = kStatusEnds)
		: fEvents(static_cast<MIDISeq*>(packet)), fSlots(packet ? slots : 0), fEnd(end)
	{
	}

	class iterator {
	public:
		iterator(const PacketEvents* owner, int index) : fOwner(owner), fIndex(index) { Settle(); }
		MIDISeq& operator*() const { return fOwner->fEvents[fIndex]; }
		MIDISeq* operator->() const { return &fOwner->fEvents[fIndex]; }
		iterator& operator++()
		{
			fIndex++;
			Settle();
			return *this;
		}
		bool operator!=(const iterator& other) const { return fIndex != other.fIndex; }
		int index() const { return fIndex; }

	private:
		void Settle()
		{
			if (fIndex >= fOwner->fSlots || fOwner->Ends(fOwner->fEvents[fIndex]))
				fIndex = fOwner->fSlots;
		}
		const PacketEvents* fOwner;
		int fIndex;
	};

	iterator begin() const { return iterator(this, 0); }
	iterator end() const { return iterator(this, fSlots); }

	// How many events the packet holds.
	int count() const
	{
		int n = 0;
		while (n < fSlots && !Ends(fEvents[n]))
			n++;
		return n;
	}

private:
	bool Ends(const MIDISeq& event) const
	{
		return fEnd == kStatusEnds ? event.status == 0 : is_blank(event);
	}

	MIDISeq* fEvents;
	int fSlots;
	End fEnd;
};

// Writes kept or new events from the start of a packet. terminate() puts
// an all-zero slot after the last event when there is room for one.
class PacketWriter {
public:
	explicit PacketWriter(void* packet, int slots = kPacketSlots)
		: fEvents(static_cast<MIDISeq*>(packet)), fSlots(slots)
	{
	}

	bool full() const { return fCount >= fSlots; }
	int count() const { return fCount; }
	bool put(const MIDISeq& event)
	{
		if (fCount >= fSlots)
			return false;
		fEvents[fCount++] = event;
		return true;
	}
	void terminate()
	{
		if (fCount < fSlots)
			fEvents[fCount] = MIDISeq{0, 0, 0, 0};
	}

private:
	MIDISeq* fEvents;
	int fSlots;
	int fCount = 0;
};

// A zeroed 128-byte packet buffer allocated with array new.
inline uint8* new_packet()
{
	uint8* packet = new uint8[kPacketBytes];
	memset(packet, 0, kPacketBytes);
	return packet;
}

inline MIDISeq* packet_of(const ZItem& item)
{
	return static_cast<MIDISeq*>(item.data);
}

// Current time in milliseconds of the system clock, as 'MTIM' carries it.
int32 now_ms();
