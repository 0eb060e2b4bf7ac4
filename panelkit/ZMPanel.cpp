#include <ZMPanel.h>

#include <Application.h>

#include <algorithm>
#include <cmath>

namespace {

// The size a panel created at an origin starts with, before any control.
constexpr float kStartWidth = 100;
constexpr float kStartHeight = 40;

}  // namespace

ZMPanel::ZMPanel(BPoint origin, void* elem, const char* title, bool resizable)
	: BWindow(BRect(origin.x, origin.y, origin.x + kStartWidth, origin.y + kStartHeight), title,
		  B_TITLED_WINDOW, resizable ? 0u : uint32(B_NOT_RESIZABLE)),
	  element(elem),
	  fGrow(true)
{
	Build(title, resizable);
}

ZMPanel::ZMPanel(BRect frame, void* elem, const char* title, bool resizable)
	: BWindow(frame, title, B_TITLED_WINDOW, resizable ? 0u : uint32(B_NOT_RESIZABLE)), element(elem), fGrow(false)
{
	Build(title, resizable);
}

void ZMPanel::Build(const char*, bool)
{
	fBackground = new BView(Bounds(), "_background_", B_FOLLOW_ALL, B_WILL_DRAW);
	fBackground->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fBackground->SetLowColor(fBackground->ViewColor());
	BWindow::AddChild(fBackground);
}

ZMPanel::~ZMPanel()
{
	delete panelMessage;
	panelMessage = nullptr;
}

bool ZMPanel::QuitRequested()
{
	if (!IsHidden())
		Hide();
	if (panelMessage) {
		if (be_app)
			be_app->PostMessage(panelMessage);
		delete panelMessage;
		panelMessage = nullptr;
	}
	return false;
}

void ZMPanel::AddChild(BView* view)
{
	if (!view)
		return;
	fBackground->AddChild(view);
	BRect frame = view->Frame();
	fLast = frame;
	fContent = fHasLast ? (fContent | frame) : frame;
	fHasLast = true;
	if (fGrow) {
		float width = std::max(Bounds().Width(), fContent.right + fMargin);
		float height = std::max(Bounds().Height(), fContent.bottom + fMargin);
		float minW, maxW, minH, maxH;
		GetSizeLimits(&minW, &maxW, &minH, &maxH);
		// Growing to hold the controls may pass limits set earlier.
		SetSizeLimits(minW, std::max(maxW, width), minH, std::max(maxH, height));
		ResizeTo(width, height);
	}
}

BRect ZMPanel::NextFrameBelow(float width, float height) const
{
	if (!fHasLast)
		return BRect(fMargin, fMargin, fMargin + width, fMargin + height);
	float top = fLast.bottom + fSpacing;
	return BRect(fLast.left, top, fLast.left + width, top + height);
}

BRect ZMPanel::NextFrameRight(float width, float height) const
{
	if (!fHasLast)
		return BRect(fMargin, fMargin, fMargin + width, fMargin + height);
	float left = fLast.right + fSpacing;
	return BRect(left, fLast.top, left + width, fLast.top + height);
}

BRect ZMPanel::NextBelowAtLeft(float width, float height) const
{
	float top = fHasLast ? fContent.bottom + fSpacing : fMargin;
	return BRect(fMargin, top, fMargin + width, top + height);
}

BRect ZMPanel::NextRightAtTop(float width, float height) const
{
	float left = fHasLast ? fContent.right + fSpacing : fMargin;
	float top = fHasLast ? fContent.top : fMargin;
	return BRect(left, top, left + width, top + height);
}

void ZMPanel::SetViewBoundsFromString(BView* view, const char* text, float widthMargin, float heightMargin)
{
	if (!view)
		return;
	font_height fh;
	view->GetFontHeight(&fh);
	view->ResizeTo(view->StringWidth(text) + widthMargin, std::ceil(fh.ascent + fh.descent) + heightMargin);
}

int ZMPanel::Present(BMessage* message, const char* label)
{
	Lock();
	if (!panelMessage && message) {
		panelMessage = message;
		SetTitle(label);
		if (IsHidden())
			Show();
	} else if (IsHidden()) {
		Show();
	} else {
		Hide();
		Show();
	}
	Minimize(false);
	Activate(true);
	Unlock();
	return 0;
}

void ZMPanel::Close()
{
	Lock();
	delete panelMessage;
	panelMessage = nullptr;
	Quit();
}
