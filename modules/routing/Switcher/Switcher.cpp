// Switcher: a path switcher for streams of any item type. Each delivery to
// "Through" passes on, is diverted to the "Diverted" source port as a copy,
// is duplicated to both, or is stopped, as the element's state says. The
// state follows control items at "Control", the panel's state menu and the
// saved state. Whole deliveries are switched; packets are never opened.

#include "Switcher.h"

#include <DupeItem.h>
#include <ZModule.h>

namespace {

const char* defaultlabel = "Switcher";
ZMessage switchsetupmsg("Stream Switcher");

ZMParam* element_of(void* elem)
{
	return static_cast<ZMParam*>(elem);
}

// Makes the recycled array (or a new one of the right length, taking over
// what slots it can from the recycled array) the pending copy of the list.
void build_copy(ZMParam* params, const ZItem* items, int count)
{
	if (count == params->recycledCount) {
		params->pending = params->recycled;
	} else {
		ZItem* copy = new ZItem[size_t(count)];
		int reuse = count < params->recycledCount ? count : params->recycledCount;
		for (int i = 0; i < reuse; i++) {
			copy[i] = params->recycled[i];
			params->recycled[i] = zero_item;
		}
		delete[] params->recycled;
		params->pending = copy;
	}
	params->pendingCount = count;
	params->recycled = nullptr;
	params->recycledCount = 0;
	for (int i = 0; i < count; i++)
		dupe_item(items[i], params->pending[i]);
}

// Every payload of a switcher copy was taken with malloc.
void blank_items(ZItem* items, int count)
{
	for (int i = 0; items && i < count; i++) {
		if (items[i].size != 0)
			free(items[i].data);
		items[i] = zero_item;
	}
}

void set_bit(std::atomic<uint16>& set, int bit, bool on)
{
	uint16 mask = uint16(1u << bit);
	if (on)
		set.fetch_or(mask);
	else
		set.fetch_and(uint16(~mask));
}

// Reads "key" as up to 16 bools, bit by bit, stopping at the first index
// that is missing.
void read_bits(BMessage* state, const char* key, std::atomic<uint16>& set)
{
	bool value;
	for (int bit = 0; bit < kGridBits && state->FindBool(key, bit, &value) == B_OK; bit++)
		set_bit(set, bit, value);
}

void write_bits(BMessage* state, const char* key, uint16 set)
{
	for (int bit = 0; bit < kGridBits; bit++)
		state->AddBool(key, (set >> bit) & 1);
}

}  // namespace

ZMParam::ZMParam() : label(defaultlabel) {}

ZMParam::~ZMParam()
{
	delete[] pending;
	delete[] recycled;
}

std::atomic<uint16>* ZMParam::column(int32 code)
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
ZPORT ProcessSwitch(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&switchsetupmsg, Z_FLT1, "Through", ProcessOrig);
	add_port(&switchsetupmsg, Z_DSRC, "Diverted", ProcessSplit);
	add_port(&switchsetupmsg, Z_FLT1, "Control", ProcessSwitch);
	add_help(&switchsetupmsg, "Switcher");
	return &switchsetupmsg;
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
	if (params->closed)
		return -1;
	int32 state = params->state;
	if (state == kStop)
		return -1;
	if (state == kPass)
		return 0;
	if (!params->handover.BeginFill())
		return -1;
	build_copy(params, items, count > 0 ? count : 0);
	params->handover.Filled();
	// A change of state meanwhile decides what this delivery does.
	return params->state == kDupe ? 0 : -1;
}

ZPORT ProcessSplit(void* elem, ZItem*& items, int& count)
{
	ZMParam* params = element_of(elem);
	if (params->closed || !params->handover.AwaitFilled()) {
		blank_items(items, count);
		return -1;
	}
	params->recycled = items;
	params->recycledCount = count;
	items = params->pending;
	count = params->pendingCount;
	params->pending = nullptr;
	params->pendingCount = 0;
	params->handover.Taken();
	return 0;
}

ZPORT ProcessSwitch(void* elem, ZItem*& items, int& count)
{
	ZMParam* params = element_of(elem);
	if (params->closed)
		return -1;
	int32 before = params->state;
	int32 state = before;
	for (int i = 0; i < count; i++) {
		uint32 bits;
		if (items[i].type == Z_SWCH) {
			bits = uint32(zvalue(items[i]));
		} else if (items[i].type == Z_CTRL) {
			uint32 word = uint32(zvalue(items[i]));
			if ((word & 0xFF) != 1)
				continue;
			bits = 1u << ((word >> 16) % 32);
		} else {
			continue;
		}
		if (bits & params->stops)
			state = kStop;
		else if (bits & params->dupes)
			state = kDupe;
		else if (bits & params->splits)
			state = kDivert;
		else if (bits & params->passes)
			state = kPass;
	}
	params->state = state;
	if (state != before)
		update(params);
	return 0;
}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	ZMParam* params = element_of(elem);
	if (!params || !state)
		return;
	save_frame(params, state);
	state->AddInt32("state", params->state);
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
	int32 value;
	// A state outside the four would divert without ever being shown.
	if (state->FindInt32("state", &value) == B_OK && value >= 0 && value < kStateCount)
		params->state = value;
	read_bits(state, "splits", params->splits);
	read_bits(state, "dupes", params->dupes);
	read_bits(state, "stops", params->stops);
	read_bits(state, "passes", params->passes);
	if (params->panel)
		update(params);
}
