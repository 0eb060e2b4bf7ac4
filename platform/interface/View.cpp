#include <View.h>

#include <Message.h>
#include <Window.h>

#include <algorithm>
#include <cmath>
#include <cstring>

const pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
const pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};
const pattern B_SOLID_LOW = {{0, 0, 0, 0, 0, 0, 0, 0}};

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
	: BHandler(name),
	  fFrame(frame),
	  fResizingMode(resizingMode),
	  fFlags(flags),
	  fViewColor(make_color(255, 255, 255)),
	  fLowColor(make_color(255, 255, 255)),
	  fHighColor(make_color(0, 0, 0)),
	  fFont(*be_plain_font)
{
	// Frames are kept on whole pixels, as on screen.
	fFrame.left = std::round(fFrame.left);
	fFrame.top = std::round(fFrame.top);
	fFrame.right = std::round(fFrame.right);
	fFrame.bottom = std::round(fFrame.bottom);
}

BView::~BView()
{
	if (fWindow)
		DetachFromWindow();
	if (fParent) {
		auto& siblings = fParent->fChildren;
		siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
		fParent = nullptr;
	}
	while (!fChildren.empty()) {
		BView* child = fChildren.back();
		fChildren.pop_back();
		child->fParent = nullptr;
		delete child;
	}
}

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}
void BView::Draw(BRect) {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::MouseMoved(BPoint, uint32, const BMessage*) {}
void BView::KeyUp(const char*, int32) {}
void BView::FrameMoved(BPoint) {}
void BView::FrameResized(float, float) {}
void BView::WindowActivated(bool) {}

void BView::KeyDown(const char* bytes, int32 numBytes)
{
	// Keys a view does not use go to the default button (Enter) or nowhere.
	(void)bytes;
	(void)numBytes;
}

void BView::MakeFocus(bool focus)
{
	if (!fWindow)
		return;
	if (focus)
		fWindow->SetFocus(this);
	else if (fWindow->fFocus == this)
		fWindow->SetFocus(nullptr);
}

bool BView::IsFocus() const
{
	return fWindow && fWindow->fFocus == this;
}

void BView::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void BView::GetPreferredSize(float* width, float* height)
{
	if (width)
		*width = fFrame.Width();
	if (height)
		*height = fFrame.Height();
}

void BView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

void BView::AttachTo(BWindow* window)
{
	fWindow = window;
	window->AddHandler(this);
	SetNextHandler(fParent ? static_cast<BHandler*>(fParent) : static_cast<BHandler*>(window));
	AttachedToWindow();
	for (BView* child : fChildren)
		child->AttachTo(window);
	AllAttached();
}

void BView::DetachFromWindow()
{
	for (BView* child : fChildren)
		if (child->fWindow)
			child->DetachFromWindow();
	DetachedFromWindow();
	AllDetached();
	if (fWindow) {
		fWindow->ViewDetached(this);
		fWindow->RemoveHandler(this);
	}
	fWindow = nullptr;
}

void BView::AddChild(BView* child, BView* before)
{
	if (!child || child->fParent || child == this)
		return;
	auto at = std::find(fChildren.begin(), fChildren.end(), before);
	fChildren.insert(at, child);
	child->fParent = this;
	child->SetNextHandler(this);
	if (fWindow)
		child->AttachTo(fWindow);
}

bool BView::RemoveChild(BView* child)
{
	if (!child || child->fParent != this)
		return false;
	if (child->fWindow)
		child->DetachFromWindow();
	fChildren.erase(std::remove(fChildren.begin(), fChildren.end(), child), fChildren.end());
	child->fParent = nullptr;
	child->SetNextHandler(nullptr);
	return true;
}

bool BView::RemoveSelf()
{
	return fParent && fParent->RemoveChild(this);
}

BView* BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= int32(fChildren.size()))
		return nullptr;
	return fChildren[size_t(index)];
}

BView* BView::NextSibling() const
{
	if (!fParent)
		return nullptr;
	auto& siblings = fParent->fChildren;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it + 1 == siblings.end() ? nullptr : *(it + 1);
}

BView* BView::PreviousSibling() const
{
	if (!fParent)
		return nullptr;
	auto& siblings = fParent->fChildren;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it == siblings.begin() ? nullptr : *(it - 1);
}

BView* BView::FindView(const char* name) const
{
	if (!name)
		return nullptr;
	if (Name() && strcmp(Name(), name) == 0)
		return const_cast<BView*>(this);
	for (BView* child : fChildren)
		if (BView* found = child->FindView(name))
			return found;
	return nullptr;
}

BView* BView::FindViewAt(BPoint where)
{
	// where is in this view's coordinates.
	if (IsHidden(this) || !Bounds().Contains(where))
		return nullptr;
	for (auto it = fChildren.rbegin(); it != fChildren.rend(); ++it) {
		BView* child = *it;
		if (BView* found = child->FindViewAt(child->ConvertFromParent(where)))
			return found;
	}
	return this;
}

void BView::MoveTo(float x, float y)
{
	x = std::round(x);
	y = std::round(y);
	if (x == fFrame.left && y == fFrame.top)
		return;
	fFrame.OffsetTo(x, y);
	FrameMoved(fFrame.LeftTop());
	if (fParent)
		fParent->Invalidate();
}

void BView::ResizeTo(float width, float height)
{
	width = std::round(width);
	height = std::round(height);
	float dw = width - fFrame.Width();
	float dh = height - fFrame.Height();
	if (dw == 0 && dh == 0)
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	for (BView* child : fChildren)
		child->ParentResized(dw, dh);
	FrameResized(width, height);
	Invalidate();
}

void BView::ParentResized(float dw, float dh)
{
	uint32 top = (fResizingMode >> 12) & 0xf;
	uint32 left = (fResizingMode >> 8) & 0xf;
	uint32 bottom = (fResizingMode >> 4) & 0xf;
	uint32 right = fResizingMode & 0xf;
	auto shift = [](uint32 rule, float delta, uint32 far) {
		if (rule == far)
			return delta;
		if (rule == _VIEW_CENTER_)
			return std::round(delta / 2);
		return 0.0f;
	};
	BRect frame = fFrame;
	frame.left += shift(left, dw, _VIEW_RIGHT_);
	frame.right += shift(right, dw, _VIEW_RIGHT_);
	frame.top += shift(top, dh, _VIEW_BOTTOM_);
	frame.bottom += shift(bottom, dh, _VIEW_BOTTOM_);
	if (frame.LeftTop() != fFrame.LeftTop())
		MoveTo(frame.LeftTop());
	if (frame.Width() != fFrame.Width() || frame.Height() != fFrame.Height())
		ResizeTo(frame.Width(), frame.Height());
}

BPoint BView::ConvertToParent(BPoint point) const { return point + fFrame.LeftTop() - fScroll; }
BPoint BView::ConvertFromParent(BPoint point) const { return point - fFrame.LeftTop() + fScroll; }
BRect BView::ConvertToParent(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.LeftTop() - fScroll);
}

BPoint BView::ConvertToWindow(BPoint point) const
{
	for (const BView* view = this; view; view = view->fParent)
		point = view->ConvertToParent(point);
	return point;
}

BPoint BView::ConvertFromWindow(BPoint point) const
{
	return point - ConvertToWindow(B_ORIGIN);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
	point = ConvertToWindow(point);
	return fWindow ? fWindow->ConvertToScreen(point) : point;
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
	if (fWindow)
		point = fWindow->ConvertFromScreen(point);
	return ConvertFromWindow(point);
}

BRect BView::ConvertToScreen(BRect rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	return rect.OffsetByCopy(offset);
}

void BView::Show()
{
	if (--fHideLevel == 0 && fParent)
		fParent->Invalidate();
}

void BView::Hide()
{
	if (fHideLevel++ == 0 && fParent)
		fParent->Invalidate();
	if (IsFocus())
		MakeFocus(false);
}

bool BView::IsHidden(const BView* lookingFrom) const
{
	for (const BView* view = this; view; view = view->fParent) {
		if (view->fHideLevel > 0)
			return true;
		if (view == lookingFrom)
			return false;
	}
	return false;
}

bool BView::IsHidden() const
{
	if (IsHidden(nullptr))
		return true;
	return fWindow && fWindow->IsHidden();
}

void BView::SetFont(const BFont* font, uint32 mask)
{
	if (!font)
		return;
	if (mask & B_FONT_FAMILY_AND_STYLE)
		fFont.SetFamilyAndStyle(font->Family(), font->Style());
	if (mask & B_FONT_SIZE)
		fFont.SetSize(font->Size());
	if (mask & B_FONT_FACE)
		fFont.SetFace(font->Face());
	if (mask & B_FONT_SPACING)
		fFont.SetSpacing(font->Spacing());
	Invalidate();
}

void BView::GetFont(BFont* font) const
{
	if (font)
		*font = fFont;
}

void BView::SetFontSize(float size)
{
	fFont.SetSize(size);
	Invalidate();
}

void BView::DrawString(const char* string, const void*)
{
	fPen.x += StringWidth(string);
}

void BView::DrawString(const char* string, BPoint where, const void*)
{
	fPen = where;
	DrawString(string);
}

void BView::DrawString(const char* string, int32 length, BPoint where, const void*)
{
	fPen = where;
	fPen.x += StringWidth(string, length);
}

void BView::Invalidate(BRect)
{
	fInvalidations++;
}

void BView::Invalidate()
{
	fInvalidations++;
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool)
{
	if (location)
		*location = fWindow ? ConvertFromWindow(fWindow->fMouse) : BPoint();
	if (buttons)
		*buttons = fWindow ? fWindow->fMouseButtons : 0;
}

bool BView::PointForValue(int32, BPoint*) const
{
	return false;
}
