// The panel window of a module element: created hidden, keeping its
// element and the panel message the host hands over. When the user closes
// the panel it hides, posts the panel message to the application and
// forgets it; the next Panel call hands a fresh one.
//
// Controls are laid out one after another: the NextFrame... calls give
// the frame of the next control relative to the last one added, and a
// panel created at an origin grows to hold what is added.
#pragma once

#include <Message.h>
#include <Point.h>
#include <Rect.h>
#include <Window.h>

class ZMPanel : public BWindow {
public:
	ZMPanel(BPoint origin, void* element, const char* title, bool resizable = true);
	ZMPanel(BRect frame, void* element, const char* title, bool resizable = true);
	virtual ~ZMPanel();

	// A user close: hide, hand the panel message back to the application.
	bool QuitRequested() override;

	// Adds the view to the panel's content and makes it the last control.
	void AddChild(BView* view);
	BRect NextFrameBelow(float width, float height) const;
	BRect NextFrameRight(float width, float height) const;
	BRect NextBelowAtLeft(float width, float height) const;
	BRect NextRightAtTop(float width, float height) const;
	// Resizes the view to the text's width plus widthMargin and the font's
	// height plus heightMargin.
	void SetViewBoundsFromString(BView* view, const char* text, float widthMargin, float heightMargin);
	// Space between controls, and between the controls and the window edge.
	void SetSpacing(float spacing) { fSpacing = spacing; }
	float Spacing() const { return fSpacing; }
	void SetMargin(float margin) { fMargin = margin; }
	float Margin() const { return fMargin; }
	// The view filling the panel that holds the controls.
	BView* Background() const { return fBackground; }
	// The union of the frames of the controls added so far.
	BRect ContentFrame() const { return fContent; }

	// What a module's Panel export does, under the panel's lock: the first
	// message (while none is held) is kept, the title set to the label and
	// the panel shown; otherwise the message is not kept and the panel is
	// raised. Either way it is un-minimised. Returns 0.
	int Present(BMessage* message, const char* label);
	// What CloseElem does with the panel: locks it, deletes the panel
	// message, quits the window. The panel is gone afterwards.
	void Close();

	void* element;
	// The kept panel message; null until Panel hands one over.
	BMessage* panelMessage = nullptr;

private:
	void Build(const char* title, bool resizable);

	BView* fBackground = nullptr;
	BRect fLast;
	BRect fContent;
	bool fHasLast = false;
	bool fGrow;
	float fSpacing = 2;
	float fMargin = 4;
};
