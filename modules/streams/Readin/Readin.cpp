// Readin: sends a file into the diagram. Each send request makes the
// "Read" port deliver the file from its current position to the end as
// 'DATA' chunks of up to 256 bytes, then one 'EODS'; the file is then
// rewound. Requests come from "Send" or, with "Send when set", from
// choosing a file.

#include <Placement.h>
#include <PanelElement.h>
#include <ZModule.h>

#include <AppDefs.h>
#include <Autolock.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <Locker.h>
#include <OS.h>
#include <Path.h>
#include <StringView.h>
#include <ZMButton.h>
#include <ZMCheckBox.h>
#include <ZMPanel.h>
#include <ZMValueControl.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

const char* defaultlabel = "Readin";
ZMessage setupmsg("File Reader");

// New panels step 20 right and 20 down from (200, 20, 465, 100).
PanelCascade cascade(BRect(200, 20, 465, 100), BPoint(20, 20), BPoint(20, 20));

enum : uint32 {
	kFileName = 'fnam',
	kSelect = 'slct',
	kSend = 'okbt',
	kAuto = 'auto',
};

}  // namespace

class FiltWindow;

class ZMParam {
public:
	ZMParam() : sendPermit(create_sem(0, "file output avail")) {}

	// Opens the file; a failure leaves no file open and is reported.
	bool open(const char* path);
	void setfile(const entry_ref& ref);
	void filename(const char* path);
	void send() { release_sem(sendPermit); }

	sem_id sendPermit;
	const char* label = defaultlabel;
	std::atomic<bool> closed{false};
	// The panel thread replaces the file while the output port reads it.
	BLocker fileLock{"file"};
	BFile file;
	std::atomic<bool> sendWhenSet{true};
	FiltWindow* panel = nullptr;
};

class FiltWindow : public ZMPanel {
public:
	FiltWindow(ZMParam* element, BPoint origin);
	~FiltWindow() override;
	void MessageReceived(BMessage* message) override;
	void FrameResized(float width, float height) override;

	void showFile(const char* path);
	void update();

	ZMValueControl* fileField;
	ZMCheckBox* autoBox;
	BFilePanel* chooser;

private:
	ZMParam* fElement;
};

FiltWindow::FiltWindow(ZMParam* element, BPoint origin)
	: ZMPanel(origin, element, defaultlabel, true), fElement(element)
{
	float width = cascade.Frame().Width() - 2 * Margin();
	AddChild(new BStringView(NextFrameBelow(30, 14), "caption", "File:"));
	fileField = new ZMValueControl(NextFrameRight(width - 30 - Spacing(), 16), "file name", nullptr,
		new BMessage(kFileName), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	AddChild(fileField);
	AddChild(new ZMButton(NextBelowAtLeft(70, 20), "select", "Select...", new BMessage(kSelect), 8, 3));
	AddChild(new ZMButton(NextFrameRight(50, 20), "send", "Send", new BMessage(kSend), 8, 3));
	autoBox = new ZMCheckBox(NextFrameRight(110, 20), "auto", "Send when set", new BMessage(kAuto));
	AddChild(autoBox);
	autoBox->SetValue(B_CONTROL_ON);
	SetSizeLimits(130, 1200, 30, ContentFrame().bottom + Margin());

	BMessenger self(this);
	chooser = new BFilePanel(B_OPEN_PANEL, &self, nullptr, B_FILE_NODE, false, nullptr, nullptr, false, true);
	chooser->SetTitle("File to Read");
}

FiltWindow::~FiltWindow()
{
	delete chooser;
}

void FiltWindow::FrameResized(float width, float height)
{
	// The file name field spans the window's inner width.
	BRect frame = fileField->Frame();
	fileField->ResizeTo(std::max(20.0f, width - frame.left - Margin()), frame.Height());
	ZMPanel::FrameResized(width, height);
}

void FiltWindow::MessageReceived(BMessage* message)
{
	entry_ref ref;
	// A choice in the chooser, or anything dropped on the panel that
	// carries references.
	if (message->FindRef("refs", &ref) == B_OK) {
		fElement->setfile(ref);
		return;
	}
	switch (message->what) {
		case kFileName:
			fElement->filename(fileField->Text());
			return;
		case kSelect:
			chooser->Show();
			return;
		case kSend:
			fElement->send();
			return;
		case kAuto:
			fElement->sendWhenSet = autoBox->Value() != B_CONTROL_OFF;
			return;
		default:
			ZMPanel::MessageReceived(message);
	}
}

void FiltWindow::showFile(const char* path)
{
	Lock();
	fileField->SetText(path);
	Unlock();
}

void FiltWindow::update()
{
	Lock();
	autoBox->SetValue(fElement->sendWhenSet ? B_CONTROL_ON : B_CONTROL_OFF);
	Unlock();
}

bool ZMParam::open(const char* path)
{
	// A final link is not followed in making the entry; opening it reads
	// what it points to.
	BEntry entry(path, false);
	BAutolock guard(fileLock);
	status_t result = entry.InitCheck() == B_OK ? file.SetTo(&entry, B_READ_ONLY) : entry.InitCheck();
	if (result != B_OK) {
		file.Unset();
		fprintf(stderr, "%s: cannot read \"%s\": %s\n", label, path, strerror_status(result));
		return false;
	}
	return true;
}

void ZMParam::filename(const char* path)
{
	if (open(path) && sendWhenSet)
		send();
}

void ZMParam::setfile(const entry_ref& ref)
{
	BPath path(&ref);
	if (path.InitCheck() != B_OK)
		return;
	if (panel)
		panel->showFile(path.Path());
	if (open(path.Path()) && sendWhenSet)
		send();
}

ZPORT GetDataPacket(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_DSRC, "Read", GetDataPacket);
	add_help(&setupmsg, "Flovantrel/Readin");
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
	{
		BAutolock guard(element->fileLock);
		element->file.Unset();
	}
	delete_sem(element->sendPermit);
}

ZEXPORT void TerminateElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	if (element->panel)
		element->panel->Close();
	delete_sem(element->sendPermit);
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
	if (FiltWindow* panel = element->panel) {
		save_panel_frame(state, panel);
		if (panel->chooser)
			state->AddString("directory", panel->chooser->PanelDirectoryPath().c_str());
		bool open;
		{
			BAutolock guard(element->fileLock);
			open = element->file.InitCheck() == B_OK;
		}
		if (open) {
			panel->Lock();
			state->AddString("file", panel->fileField->Text());
			panel->Unlock();
		}
	}
	state->AddBool("auto", element->sendWhenSet);
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	FiltWindow* panel = element->panel;
	if (panel)
		restore_panel_frame(state, panel);
	const char* directory;
	if (panel && panel->chooser && state->FindString("directory", &directory) == B_OK)
		panel->chooser->SetPanelDirectory(directory);
	bool sendWhenSet;
	if (state->FindBool("auto", &sendWhenSet) == B_OK) {
		element->sendWhenSet = sendWhenSet;
		if (panel)
			panel->update();
	}
	const char* path;
	if (state->FindString("file", &path) == B_OK) {
		if (panel)
			panel->showFile(path);
		element->filename(path);
	}
}

ZPORT GetDataPacket(void* elem, ZItem*& items, int& count)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	while (!element->closed && acquire_sem(element->sendPermit) == B_OK) {
		if (count == 0) {
			items = new ZItem[6];
			count = 6;
			items[0].type = Z_DATA;
			DataBuf* buf = static_cast<DataBuf*>(malloc(sizeof(DataBuf)));
			if (buf) {
				buf->count = 0;
				items[0].data = buf;
				items[0].size = int32(sizeof(DataBuf));
			}
		}
		DataBuf* buf = static_cast<DataBuf*>(items[0].data);
		if (!buf)
			continue;
		BAutolock guard(element->fileLock);
		if (element->file.InitCheck() != B_OK)
			continue;  // no file: the request is used up
		ssize_t got = element->file.Read(buf->data, kDataBufSize);
		if (got > 0) {
			items[0].type = Z_DATA;
			buf->count = int32(got);
			if (got < kDataBufSize)
				buf->data[got] = 0;
			// The next call reads on at once.
			release_sem(element->sendPermit);
			return 0;
		}
		items[0].type = Z_EODS;
		buf->count = 0;
		element->file.Seek(0, SEEK_SET);
		return 0;
	}
	for (int i = 0; i < count; i++)
		clear_item_plain(items[i]);
	return -1;
}
