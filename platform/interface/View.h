// A rectangle of a window that draws and receives events. Views form a tree
// inside a window; each is a handler of the window's looper, so messages
// and events reach it on the window's thread. Code on other threads locks
// the window before it touches a view.
//
// There is no screen: drawing calls are accepted and do nothing, but
// frames, colours, fonts and invalidations are real and can be inspected.
#pragma once

#include <Font.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Point.h>
#include <Rect.h>

#include <vector>

class BWindow;
class BMessage;

class BView : public BHandler {
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	// Deletes the children first.
	virtual ~BView();

	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;
	void MessageReceived(BMessage* message) override;

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	// The tree.
	virtual void AddChild(BView* child, BView* before = nullptr);
	virtual bool RemoveChild(BView* child);
	bool RemoveSelf();
	int32 CountChildren() const { return int32(fChildren.size()); }
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	BView* Parent() const { return fParent; }
	BWindow* Window() const { return fWindow; }
	// This view or a descendant with that name, depth first.
	BView* FindView(const char* name) const;

	// Geometry; the frame is in the parent's coordinates.
	BRect Frame() const { return fFrame; }
	// In the view's own coordinates, which move with scrolling.
	BRect Bounds() const { return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(), fScroll.y + fFrame.Height()); }
	void MoveTo(BPoint where) { MoveTo(where.x, where.y); }
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
	void ResizeTo(float width, float height);
	void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
	void SetResizingMode(uint32 mode) { fResizingMode = mode; }
	uint32 ResizingMode() const { return fResizingMode; }
	void SetFlags(uint32 flags) { fFlags = flags; }
	uint32 Flags() const { return fFlags; }

	BPoint ConvertToParent(BPoint point) const;
	BPoint ConvertFromParent(BPoint point) const;
	BRect ConvertToParent(BRect rect) const;
	// Window coordinates: the window's content area.
	BPoint ConvertToWindow(BPoint point) const;
	BPoint ConvertFromWindow(BPoint point) const;
	BPoint ConvertToScreen(BPoint point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	BRect ConvertToScreen(BRect rect) const;

	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;

	// Colours.
	void SetViewColor(rgb_color color) { fViewColor = color; }
	void SetViewColor(uchar r, uchar g, uchar b, uchar a = 255) { SetViewColor(make_color(r, g, b, a)); }
	rgb_color ViewColor() const { return fViewColor; }
	void SetLowColor(rgb_color color) { fLowColor = color; }
	void SetLowColor(uchar r, uchar g, uchar b, uchar a = 255) { SetLowColor(make_color(r, g, b, a)); }
	rgb_color LowColor() const { return fLowColor; }
	void SetHighColor(rgb_color color) { fHighColor = color; }
	void SetHighColor(uchar r, uchar g, uchar b, uchar a = 255) { SetHighColor(make_color(r, g, b, a)); }
	rgb_color HighColor() const { return fHighColor; }

	// Fonts.
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void SetFontSize(float size);
	float StringWidth(const char* string) const { return fFont.StringWidth(string); }
	float StringWidth(const char* string, int32 length) const { return fFont.StringWidth(string, length); }
	void GetFontHeight(font_height* height) const { fFont.GetHeight(height); }

	// Drawing: accepted and ignored, apart from the pen position.
	void SetDrawingMode(drawing_mode mode) { fDrawingMode = mode; }
	drawing_mode DrawingMode() const { return fDrawingMode; }
	void SetPenSize(float size) { fPenSize = size; }
	float PenSize() const { return fPenSize; }
	void MovePenTo(BPoint point) { fPen = point; }
	void MovePenTo(float x, float y) { fPen = BPoint(x, y); }
	void MovePenBy(float x, float y) { fPen += BPoint(x, y); }
	BPoint PenLocation() const { return fPen; }
	void DrawString(const char* string, const void* = nullptr);
	void DrawString(const char* string, BPoint where, const void* = nullptr);
	void DrawString(const char* string, int32 length, BPoint where, const void* = nullptr);
	void StrokeLine(BPoint to, const pattern& = B_SOLID_HIGH) { fPen = to; }
	void StrokeLine(BPoint, BPoint to, const pattern& = B_SOLID_HIGH) { fPen = to; }
	void StrokeRect(BRect, const pattern& = B_SOLID_HIGH) {}
	void FillRect(BRect, const pattern& = B_SOLID_HIGH) {}
	void StrokeRoundRect(BRect, float, float, const pattern& = B_SOLID_HIGH) {}
	void FillRoundRect(BRect, float, float, const pattern& = B_SOLID_HIGH) {}
	void StrokeEllipse(BRect, const pattern& = B_SOLID_HIGH) {}
	void FillEllipse(BRect, const pattern& = B_SOLID_HIGH) {}
	void StrokeEllipse(BPoint, float, float, const pattern& = B_SOLID_HIGH) {}
	void FillEllipse(BPoint, float, float, const pattern& = B_SOLID_HIGH) {}
	void StrokeTriangle(BPoint, BPoint, BPoint, const pattern& = B_SOLID_HIGH) {}
	void FillTriangle(BPoint, BPoint, BPoint, const pattern& = B_SOLID_HIGH) {}
	void BeginLineArray(int32) {}
	void AddLine(BPoint, BPoint, rgb_color) {}
	void EndLineArray() {}
	void ScrollBy(float dx, float dy) { ScrollTo(fScroll.x + dx, fScroll.y + dy); }
	virtual void ScrollTo(BPoint where) { fScroll = where; }
	void ScrollTo(float x, float y) { ScrollTo(BPoint(x, y)); }
	void Sync() const {}
	void Flush() const {}
	void PushState() {}
	void PopState() {}

	// Marks the view as needing to be drawn again. There is nothing to draw
	// on, so this only counts: tests read the count.
	void Invalidate(BRect rect);
	void Invalidate();
	int32 InvalidationCount() const { return fInvalidations; }

	// Mouse state as last delivered to the window.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

	// Views that stand for a value (sliders) tell the input layer where a
	// user would put the mouse to choose the value; false for other views.
	virtual bool PointForValue(int32 value, BPoint* where) const;

private:
	friend class BWindow;
	BView(const BView&) = delete;
	BView& operator=(const BView&) = delete;

	void AttachTo(BWindow* window);
	void DetachFromWindow();
	void ParentResized(float dw, float dh);
	BView* FindViewAt(BPoint where);

	BRect fFrame;
	uint32 fResizingMode;
	uint32 fFlags;
	BView* fParent = nullptr;
	BWindow* fWindow = nullptr;
	std::vector<BView*> fChildren;
	int32 fHideLevel = 0;
	rgb_color fViewColor;
	rgb_color fLowColor;
	rgb_color fHighColor;
	BFont fFont;
	drawing_mode fDrawingMode = B_OP_COPY;
	float fPenSize = 1;
	BPoint fPen;
	BPoint fScroll;
	int32 fInvalidations = 0;
};
