#include <Window.h>

#include <Application.h>
#include <Button.h>
#include <Message.h>

#include "InputPrivate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
	: BLooper(title)
{
	fType = type;
	fWorkspaces = workspace;
	switch (type) {
		case B_MODAL_WINDOW: fLook = B_MODAL_WINDOW_LOOK; fFeel = B_MODAL_APP_WINDOW_FEEL; break;
		case B_DOCUMENT_WINDOW: fLook = B_DOCUMENT_WINDOW_LOOK; break;
		case B_BORDERED_WINDOW: fLook = B_BORDERED_WINDOW_LOOK; break;
		case B_FLOATING_WINDOW: fLook = B_FLOATING_WINDOW_LOOK; fFeel = B_FLOATING_APP_WINDOW_FEEL; break;
		default: break;
	}
	Init(frame, title, flags);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspace)
	: BLooper(title)
{
	fLook = look;
	fFeel = feel;
	fWorkspaces = workspace;
	Init(frame, title, flags);
}

void BWindow::Init(BRect frame, const char* title, uint32 flags)
{
	fTitle = title ? title : "";
	fFlags = flags;
	fFrame = BRect(std::round(frame.left), std::round(frame.top), std::round(frame.right),
		std::round(frame.bottom));
	fTopView = new BView(Bounds(), nullptr, B_FOLLOW_ALL, 0);
	fTopView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fTopView->AttachTo(this);
	platform_register_window(this);
}

BWindow::~BWindow()
{
	platform_unregister_window(this);
	BView* top = fTopView;
	fTopView = nullptr;
	top->DetachFromWindow();
	delete top;
}

void BWindow::Quit()
{
	if (!IsHidden())
		Hide();
	platform_unregister_window(this);
	BLooper::Quit();
}

bool BWindow::QuitRequested()
{
	return true;
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	BView* view = dynamic_cast<BView*>(handler);
	switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED: {
			BPoint where;
			if (message->FindPoint("be:window_where", &where) != B_OK) {
				if (message->FindPoint("where", &where) != B_OK)
					return;
				if (view)
					where = view->ConvertToWindow(where);
			}
			fMouse = where;
			if (!view)
				view = FindView(where);
			if (!view)
				return;
			BPoint local = view->ConvertFromWindow(where);
			if (message->HasPoint("be:view_where"))
				message->ReplacePoint("be:view_where", local);
			else
				message->AddPoint("be:view_where", local);
			if (message->what == B_MOUSE_DOWN) {
				fMouseButtons = uint32(message->GetInt32("buttons", B_PRIMARY_MOUSE_BUTTON));
				fLastMouseView = view;
				view->MouseDown(local);
			} else if (message->what == B_MOUSE_UP) {
				fMouseButtons = 0;
				view->MouseUp(local);
			} else {
				fMouseButtons = uint32(message->GetInt32("buttons", int32(fMouseButtons)));
				fLastMouseView = view;
				view->MouseMoved(local, B_INSIDE_VIEW, nullptr);
			}
			return;
		}
		case B_KEY_DOWN:
		case B_KEY_UP: {
			if (!view || view == fTopView)
				view = fFocus;
			const char* bytes = nullptr;
			if (!view || message->FindString("bytes", &bytes) != B_OK || !bytes)
				return;
			if (message->what == B_KEY_DOWN)
				view->KeyDown(bytes, int32(strlen(bytes)));
			else
				view->KeyUp(bytes, int32(strlen(bytes)));
			return;
		}
		case platform_private::kInputSync: {
			int32 rounds = message->GetInt32("rounds", 0);
			if (CountQueuedMessages() > 0 && rounds > 0) {
				BMessage again(*message);
				again.ReplaceInt32("rounds", rounds - 1);
				PostMessage(&again, this);
			} else {
				release_sem(sem_id(message->GetInt32("sem", -1)));
			}
			return;
		}
		default:
			break;
	}
	if (handler == this) {
		switch (message->what) {
			case B_WINDOW_ACTIVATED: {
				bool active = message->GetBool("active", true);
				WindowActivated(active);
				if (fTopView)
					fTopView->WindowActivated(active);
				return;
			}
			case B_WINDOW_MOVED:
				FrameMoved(message->GetPoint("where", fFrame.LeftTop()));
				return;
			case B_WINDOW_RESIZED:
				FrameResized(message->GetFloat("width", fFrame.Width()),
					message->GetFloat("height", fFrame.Height()));
				return;
			case B_MINIMIZE:
				Minimize(message->GetBool("minimize", true));
				return;
			case B_ZOOM:
				Zoom();
				return;
			default:
				break;
		}
	}
	BLooper::DispatchMessage(message, handler);
}

void BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void BWindow::FrameMoved(BPoint) {}
void BWindow::FrameResized(float, float) {}
void BWindow::WindowActivated(bool) {}
void BWindow::Zoom() {}

void BWindow::Minimize(bool minimize)
{
	fMinimized = minimize;
}

void BWindow::Show()
{
	bool start;
	{
		Lock();
		fShowLevel--;
		start = !fRunCalled;
		fRunCalled = true;
		Unlock();
	}
	if (start)
		Run();
}

void BWindow::Hide()
{
	Lock();
	fShowLevel++;
	Unlock();
}

bool BWindow::IsHidden() const
{
	return fShowLevel > 0;
}

void BWindow::Activate(bool active)
{
	if (fActive == active)
		return;
	fActive = active;
	BMessage message(B_WINDOW_ACTIVATED);
	message.AddBool("active", active);
	PostMessage(&message, this);
}

void BWindow::MoveTo(float x, float y)
{
	x = std::round(x);
	y = std::round(y);
	if (x == fFrame.left && y == fFrame.top)
		return;
	fFrame.OffsetTo(x, y);
	BMessage message(B_WINDOW_MOVED);
	message.AddPoint("where", fFrame.LeftTop());
	PostMessage(&message, this);
}

void BWindow::ResizeTo(float width, float height)
{
	width = std::round(std::clamp(width, fMinWidth, std::max(fMinWidth, fMaxWidth)));
	height = std::round(std::clamp(height, fMinHeight, std::max(fMinHeight, fMaxHeight)));
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	if (fTopView)
		fTopView->ResizeTo(width, height);
	BMessage message(B_WINDOW_RESIZED);
	message.AddFloat("width", width);
	message.AddFloat("height", height);
	PostMessage(&message, this);
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	fMinWidth = std::max(0.0f, minWidth);
	fMaxWidth = std::max(fMinWidth, maxWidth);
	fMinHeight = std::max(0.0f, minHeight);
	fMaxHeight = std::max(fMinHeight, maxHeight);
	ResizeTo(fFrame.Width(), fFrame.Height());
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const
{
	if (minWidth) *minWidth = fMinWidth;
	if (maxWidth) *maxWidth = fMaxWidth;
	if (minHeight) *minHeight = fMinHeight;
	if (maxHeight) *maxHeight = fMaxHeight;
}

void BWindow::SetTitle(const char* title)
{
	fTitle = title ? title : "";
	SetName(title);
}

status_t BWindow::SetFlags(uint32 flags)
{
	fFlags = flags;
	return B_OK;
}

void BWindow::DisableUpdates() { fUpdatesDisabled++; }
void BWindow::EnableUpdates()
{
	if (fUpdatesDisabled > 0)
		fUpdatesDisabled--;
}

void BWindow::AddChild(BView* child, BView* before)
{
	fTopView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child)
{
	return fTopView->RemoveChild(child);
}

int32 BWindow::CountChildren() const { return fTopView->CountChildren(); }
BView* BWindow::ChildAt(int32 index) const { return fTopView->ChildAt(index); }
BView* BWindow::FindView(const char* name) const { return fTopView ? fTopView->FindView(name) : nullptr; }

BView* BWindow::FindView(BPoint point) const
{
	return fTopView ? fTopView->FindViewAt(point) : nullptr;
}

void BWindow::SetFocus(BView* view)
{
	if (fFocus == view)
		return;
	BView* old = fFocus;
	fFocus = view;
	if (old)
		old->Invalidate();
	if (view)
		view->Invalidate();
}

void BWindow::ViewDetached(BView* view)
{
	if (fFocus == view)
		fFocus = nullptr;
	if (fLastMouseView == view)
		fLastMouseView = nullptr;
	if (fDefaultButton == reinterpret_cast<BButton*>(view))
		fDefaultButton = nullptr;
}
