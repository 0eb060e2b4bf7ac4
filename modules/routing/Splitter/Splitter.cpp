// Splitter: divides the events of a delivery's first MIDI packet by their
// marks. Each event stays in the packet passing on at "Through", moves to
// a packet of its own handed out at "Diverted", goes to both, or is
// dropped, by the first of the pass, stop, dupe and split mark sets that
// shares a bit with its marks. The diverted packet carries the delivery's
// time and track.

#include "Splitter.h"

#include <Packet.h>
#include <ZModule.h>

namespace {

const char* defaultlabel = "Splitter";
ZMessage splitsetupmsg("MIDI Stream Splitter");

ZMParam* element_of(void* elem)
{
	return static_cast<ZMParam*>(elem);
}

void set_bit(std::atomic<uint8>& set, int bit, bool on)
{
	uint8 mask = uint8(1u << bit);
	if (on)
		set.fetch_or(mask);
	else
		set.fetch_and(uint8(~mask));
}

void read_bits(BMessage* state, const char* key, std::atomic<uint8>& set)
{
	bool value;
	for (int bit = 0; bit < kMarkBits && state->FindBool(key, bit, &value) == B_OK; bit++)
		set_bit(set, bit, value);
}

void write_bits(BMessage* state, const char* key, uint8 set)
{
	for (int bit = 0; bit < kMarkBits; bit++)
		state->AddBool(key, (set >> bit) & 1);
}

}  // namespace

ZMParam::ZMParam() : label(defaultlabel) {}

ZMParam::~ZMParam()
{
	delete[] diverted;
}

std::atomic<uint8>* ZMParam::column(int32 code)
{
	switch (code) {
		case kColumnPass: return &passes;
		case kColumnSplit: return &splits;
		case kColumnDupe: return &dupes;
		case kColumnStop: return &stops;
	}
	return nullptr;
}

ZPORT ProcessOrig(void* elem, ZItem*& items, int& count);
ZPORT ProcessSplit(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&splitsetupmsg, Z_FLT1, "Through", ProcessOrig);
	add_port(&splitsetupmsg, Z_DSRC, "Diverted", ProcessSplit);
	add_help(&splitsetupmsg, "Tonvantrel/Splitter");
	return &splitsetupmsg;
}

ZEXPORT void* OpenElem()
{
	ZMParam* params = new ZMParam;
	create_panel(params);
	return params;
}

ZEXPORT void CloseElem(void* elem)
{
	ZMParam* params = element_of(elem);
	if (!params)
		return;
	params->closed = true;
	close_panel(params);
	params->handover.Close();
}

ZEXPORT void TerminateElem(void* elem)
{
	delete element_of(elem);
}

ZEXPORT void ShutDown() {}

ZEXPORT void LabelElem(void* elem, const char* label)
{
	ZMParam* params = element_of(elem);
	if (!params || !params->panel)
		return;
	params->label = label;
	set_panel_title(params, label);
}

ZEXPORT int Panel(void* elem, BMessage* panelMessage)
{
	ZMParam* params = element_of(elem);
	if (!params || !params->panel)
		return -1;
	int result = show_panel(params, panelMessage);
	update(params);
	return result;
}

ZPORT ProcessOrig(void* elem, ZItem*& items, int& count)
{
	ZMParam* params = element_of(elem);
	if (params->closed || !params->handover.BeginFill())
		return -1;
	if (!params->diverted)
		params->diverted = new_packet();
	params->time = 0;
	params->track = -1;
	ZItem* packet = nullptr;
	int others = 0;
	for (int i = 0; i < count; i++) {
		ZItem& item = items[i];
		if (item.type == Z_MIDI && !packet)
			packet = &item;
		else if (item.type == Z_MTIM && params->time == 0)
			params->time = zvalue(item);
		else if (item.type == Z_MTRK)
			params->track = zvalue(item);
		else if (item.type != 0)
			others++;
	}
	int kept = 0;
	int diverted = 0;
	if (packet && packet->data) {
		// The packet's own length bounds the scan and the terminator; the
		// diverted packet always has 32 slots.
		int slots = packet->size > 0 ? packet->size / 4 : 0;
		if (slots > kPacketSlots)
			slots = kPacketSlots;
		MIDISeq* events = packet_of(*packet);
		MIDISeq* out = reinterpret_cast<MIDISeq*>(params->diverted);
		uint8 passes = params->passes, stops = params->stops;
		uint8 dupes = params->dupes, splits = params->splits;
		for (int i = 0; i < slots && events[i].status != 0; i++) {
			MIDISeq event = events[i];
			uint8 marks = event.marks;
			if (marks & passes) {
				events[kept++] = event;
			} else if (marks & stops) {
			} else if (marks & dupes) {
				events[kept++] = event;
				out[diverted++] = event;
			} else if (marks & splits) {
				out[diverted++] = event;
			} else {
				events[kept++] = event;
			}
		}
		if (diverted < kPacketSlots)
			out[diverted] = MIDISeq{0, 0, 0, 0};
		if (kept < slots)
			events[kept] = MIDISeq{0, 0, 0, 0};
	}
	if (diverted > 0)
		params->handover.Filled();
	else
		params->handover.Abandon();
	return kept > 0 || others > 0 ? 0 : -1;
}

ZPORT ProcessSplit(void* elem, ZItem*& items, int& count)
{
	ZMParam* params = element_of(elem);
	// Without an element there is nothing to wait for; ending the source
	// keeps the host from calling again at once, for ever.
	if (!params)
		return -1;
	if (params->closed || !params->handover.AwaitFilled()) {
		for (int i = 0; items && i < count; i++)
			clear_item(items[i]);
		return -1;
	}
	if (count == 0 || !items) {
		items = new ZItem[6];
		count = 6;
		items[0].type = Z_MTIM;
		items[1].type = Z_MIDI;
	}
	// Take back the packet handed out last time.
	ZItem& previous = count > 2 && items[1].type == Z_MTRK ? items[2] : items[1];
	uint8* returned = static_cast<uint8*>(previous.data);
	if (previous.size == 0)
		returned = nullptr;
	previous.type = 0;
	previous.data = nullptr;
	previous.size = 0;

	ZItem* slot = &items[1];
	if (params->track >= 0 && count > 2) {
		items[1] = zero_item;
		items[1].type = Z_MTRK;
		set_zvalue(items[1], params->track);
		slot = &items[2];
	}
	slot->data = params->diverted;
	if (params->diverted) {
		slot->type = Z_MIDI;
		slot->size = params->divertedSize;
	}
	params->diverted = returned;

	items[0].type = Z_MTIM;
	set_zvalue(items[0], params->time != 0 ? params->time : now_ms());
	params->handover.Taken();
	return 0;
}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	ZMParam* params = element_of(elem);
	if (!params || !state)
		return;
	save_frame(params, state);
	write_bits(state, "splits", params->splits);
	write_bits(state, "dupes", params->dupes);
	write_bits(state, "stops", params->stops);
	write_bits(state, "passes", params->passes);
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	ZMParam* params = element_of(elem);
	if (!params || !state)
		return;
	restore_frame(params, state);
	read_bits(state, "splits", params->splits);
	read_bits(state, "dupes", params->dupes);
	read_bits(state, "stops", params->stops);
	read_bits(state, "passes", params->passes);
	if (params->panel)
		update(params);
}
