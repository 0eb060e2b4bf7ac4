// A labelled one-line text field. Enter sends the message; so does leaving
// the field after changing it. Every edit sends the modification message.
#pragma once

#include <Control.h>
#include <TextView.h>

class BTextControl : public BControl {
public:
	BTextControl(BRect frame, const char* name, const char* label, const char* initialText,
		BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BTextControl();

	virtual void SetText(const char* text);
	const char* Text() const;
	BTextView* TextView() const { return fText; }
	virtual void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const { return fModificationMessage; }
	virtual void SetDivider(float position);
	float Divider() const { return fDivider; }
	virtual void SetAlignment(alignment label, alignment text);
	void GetAlignment(alignment* label, alignment* text) const;
	void SetEnabled(bool enabled) override;
	void MakeFocus(bool focus = true) override;
	void FrameResized(float width, float height) override;
	void GetPreferredSize(float* width, float* height) override;

private:
	friend class _BTextInput_;
	void TextEdited();
	void EntryDone(bool enter);

	BTextView* fText;
	BMessage* fModificationMessage = nullptr;
	float fDivider;
	alignment fLabelAlign = B_ALIGN_LEFT;
	bool fEdited = false;
};
