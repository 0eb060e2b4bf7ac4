// Laneset: moves every MIDI channel message onto one chosen channel and
// passes everything else as it is. The channel is chosen with radio
// buttons on the panel and saved with the element.

#include <Packet.h>
#include <Placement.h>
#include <PanelElement.h>
#include <ZModule.h>

#include <RadioButton.h>
#include <StringView.h>
#include <ZMPanel.h>

#include <atomic>
#include <cstdio>

namespace {

const char* defaultlabel = "Filter";
ZMessage setupmsg("Set MIDI Channel");

// panelRect starts at (340, 20, 440, 160); each panel moves it one panel
// width left and 20 down, back to panelBase (340, 20) once it passes the
// bottom limit or the left edge of the screen.
PanelCascade cascade(BRect(340, 20, 440, 160), BPoint(-100, 20), BPoint(340, 20), true);

constexpr uint32 kChannelButton = 'RBTN';

}  // namespace

class FiltWindow;

// The panel thread writes channel while port threads read it: one word,
// written whole.
class ZMParam {
public:
	std::atomic<int32> channel{0};
	const char* label = defaultlabel;
	std::atomic<bool> closed{false};
	FiltWindow* panel = nullptr;
};

class FiltWindow : public ZMPanel {
public:
	FiltWindow(ZMParam* element, BPoint origin);
	void MessageReceived(BMessage* message) override;
	void update();

private:
	ZMParam* fElement;
	BRadioButton* fButtons[16];
};

FiltWindow::FiltWindow(ZMParam* element, BPoint origin)
	: ZMPanel(origin, element, defaultlabel, true), fElement(element)
{
	AddChild(new BStringView(NextFrameBelow(80, 12), "title", "Set Chan:"));
	BRect frame = NextFrameBelow(40, 12);
	frame.OffsetBy(8, 3);
	for (int i = 0; i < 16; i++) {
		if (i == 8) {
			// The second column starts to the right of button 1.
			BRect first = fButtons[0]->Frame();
			frame = BRect(first.right + Spacing(), first.top, first.right + Spacing() + 40, first.bottom);
		} else if (i > 0) {
			frame = NextFrameBelow(40, 12);
		}
		char label[4];
		snprintf(label, sizeof(label), "%2d", i + 1);
		BMessage* message = new BMessage(kChannelButton);
		message->AddInt32("chan", i);
		fButtons[i] = new BRadioButton(frame, label, label, message);
		AddChild(fButtons[i]);
	}
	fButtons[0]->SetValue(B_CONTROL_ON);
	SetSizeLimits(50, 500, 50, Bounds().Height());
}

void FiltWindow::MessageReceived(BMessage* message)
{
	if (message->what == kChannelButton) {
		int32 chan;
		if (message->FindInt32("chan", &chan) == B_OK)
			fElement->channel.store(chan, std::memory_order_relaxed);
		return;
	}
	ZMPanel::MessageReceived(message);
}

void FiltWindow::update()
{
	Lock();
	fButtons[fElement->channel.load(std::memory_order_relaxed) & 0x0F]->SetValue(B_CONTROL_ON);
	Unlock();
}

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_FILT, "", ProcessPacket);
	add_help(&setupmsg, "Tonvantrel/Laneset");
	return &setupmsg;
}

ZEXPORT void* OpenElem()
{
	ZMParam* element = new ZMParam;
	element->panel = new FiltWindow(element, cascade.Next());
	return element;
}

ZEXPORT void CloseElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	close_element_panel(element);
}

ZEXPORT void TerminateElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	if (element->panel)
		element->panel->Close();
	delete element;
}

ZEXPORT void ShutDown() {}

ZEXPORT void LabelElem(void* elem, const char* label)
{
	label_element(static_cast<ZMParam*>(elem), label);
}

ZEXPORT int Panel(void* elem, BMessage* panelMessage)
{
	return present_element(static_cast<ZMParam*>(elem), panelMessage);
}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	if (element->panel)
		save_panel_frame(state, element->panel);
	state->AddInt32("channel", element->channel.load(std::memory_order_relaxed));
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	if (element->panel)
		restore_panel_frame(state, element->panel);
	int32 channel;
	// Only the low four bits mean anything; keeping just those keeps the
	// panel and the next save in step with what the port does.
	if (state->FindInt32("channel", &channel) == B_OK)
		element->channel.store(channel & 0x0F, std::memory_order_relaxed);
	if (element->panel)
		element->panel->update();
}

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (element->closed)
		return -1;
	uint8 channel = uint8(element->channel.load(std::memory_order_relaxed) & 0x0F);
	for (int i = 0; i < count; i++) {
		if (items[i].type != Z_MIDI)
			continue;
		for (MIDISeq& event : PacketEvents(items[i].data))
			if (is_channel_message(event.status))
				event.status = uint8((event.status & 0xF0) | channel);
	}
	return 0;
}
