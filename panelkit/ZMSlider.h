// A slider view bound to an integer of the element: every value change,
// by the user or by SetValue, stores the value into the bound integer and
// then calls ValueAct(long). When the user lets go of the thumb the slider
// posts 'smup' (with "source" and "value") to its window.
#pragma once

#include <Message.h>
#include <View.h>

#include <string>

// Each module defines its own element class of this name.
class ZMParam;

class ZMSlider : public BView {
public:
	ZMSlider(BRect frame, long minimum, long maximum, long* value, const char* label,
		ZMParam* element, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP);
	virtual ~ZMSlider();

	// Kept in this order: subclasses override the hooks.
	virtual void SetValue(long value);
	virtual void ValueAct(long value);
	virtual void ValueAct(float value);
	// Sets the nearest whole value, then calls ValueAct(float) with the
	// value as given.
	virtual void SetFValue(float value);

	long Value() const { return fValue; }
	long Minimum() const { return fMin; }
	long Maximum() const { return fMax; }
	const char* Label() const { return fLabel.c_str(); }
	// The pause between samples of the mouse while the user drags.
	void SetSnoozeAmount(long microseconds) { fSnooze = microseconds; }
	long SnoozeAmount() const { return fSnooze; }
	// A message posted to the window (with "value" and "source") at every
	// change the user makes; the slider owns it.
	void SetMessage(BMessage* message);
	BMessage* Message() const { return fMessage; }
	void SetBarColor(rgb_color color) { fBarColor = color; }
	rgb_color BarColor() const { return fBarColor; }
	bool IsTracking() const { return fTracking; }

	void MouseDown(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void MouseUp(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	bool PointForValue(int32 value, BPoint* where) const override;
	BRect BarFrame() const;
	long ValueForPoint(BPoint where) const;

protected:
	ZMParam* element;
	long* value;

private:
	void UserSets(long value);

	long fMin;
	long fMax;
	long fValue;
	std::string fLabel;
	long fSnooze = 20000;
	BMessage* fMessage = nullptr;
	rgb_color fBarColor;
	bool fTracking = false;
};
