// A frame around a target view, with room for scroll bars. The target is
// moved inside and becomes the scroll view's child.
#pragma once

#include <View.h>

class BScrollBar;

class BScrollView : public BView {
public:
	BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = 0, bool horizontal = false, bool vertical = false,
		border_style border = B_FANCY_BORDER);
	virtual ~BScrollView();

	BView* Target() const { return fTarget; }
	void SetTarget(BView* target) { fTarget = target; }
	// There are no scroll bar views; scrolling goes through the target.
	BScrollBar* ScrollBar(orientation) const { return nullptr; }
	border_style Border() const { return fBorder; }
	bool HasHorizontal() const { return fHorizontal; }
	bool HasVertical() const { return fVertical; }

private:
	static BRect FrameFor(BView* target, bool horizontal, bool vertical, border_style border);
	BView* fTarget;
	border_style fBorder;
	bool fHorizontal;
	bool fVertical;
};
