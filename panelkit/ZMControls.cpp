#include <ZMButton.h>
#include <ZMCheckBox.h>
#include <ZMPushButton.h>
#include <ZMSlider.h>
#include <ZMValueControl.h>

#include <Window.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ZMSlider

ZMSlider::ZMSlider(BRect frame, long minimum, long maximum, long* bound, const char* label,
	ZMParam* elem, uint32 resizingMode)
	: BView(frame, label, resizingMode, B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS),
	  element(elem),
	  value(bound),
	  fMin(std::min(minimum, maximum)),
	  fMax(std::max(minimum, maximum)),
	  fLabel(label ? label : ""),
	  fBarColor(make_color(152, 152, 152))
{
	// The slider starts at the bound value without writing it back.
	fValue = std::clamp(bound ? *bound : fMin, fMin, fMax);
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

ZMSlider::~ZMSlider()
{
	delete fMessage;
}

void ZMSlider::SetValue(long newValue)
{
	newValue = std::clamp(newValue, fMin, fMax);
	fValue = newValue;
	if (value)
		*value = newValue;
	Invalidate();
	ValueAct(newValue);
}

void ZMSlider::ValueAct(long) {}
void ZMSlider::ValueAct(float) {}

void ZMSlider::SetFValue(float newValue)
{
	SetValue(long(std::lround(double(newValue))));
	ValueAct(newValue);
}

void ZMSlider::SetMessage(BMessage* message)
{
	if (message == fMessage)
		return;
	delete fMessage;
	fMessage = message;
}

BRect ZMSlider::BarFrame() const
{
	// The label takes the top line; the bar runs below it, inset by half a
	// thumb at each end.
	BRect bounds = Bounds();
	constexpr float inset = 6;
	constexpr float thickness = 6;
	float y = std::round(bounds.bottom - std::max(bounds.Height() / 3, thickness));
	return BRect(bounds.left + inset, y - thickness / 2, bounds.right - inset, y + thickness / 2);
}

bool ZMSlider::PointForValue(int32 v, BPoint* where) const
{
	long clamped = std::clamp(long(v), fMin, fMax);
	BRect bar = BarFrame();
	double fraction = fMax == fMin ? 0 : double(clamped - fMin) / double(fMax - fMin);
	*where = BPoint(float(bar.left + fraction * bar.Width()), (bar.top + bar.bottom) / 2);
	return true;
}

long ZMSlider::ValueForPoint(BPoint where) const
{
	BRect bar = BarFrame();
	double fraction = bar.Width() > 0 ? (where.x - bar.left) / bar.Width() : 0;
	fraction = std::clamp(fraction, 0.0, 1.0);
	return fMin + long(std::lround(fraction * double(fMax - fMin)));
}

void ZMSlider::UserSets(long newValue)
{
	if (newValue == fValue)
		return;
	SetValue(newValue);
	if (fMessage && Window()) {
		BMessage copy(*fMessage);
		copy.AddInt32("value", int32(fValue));
		copy.AddPointer("source", this);
		Window()->PostMessage(&copy);
	}
}

void ZMSlider::MouseDown(BPoint where)
{
	fTracking = true;
	UserSets(ValueForPoint(where));
}

void ZMSlider::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (fTracking)
		UserSets(ValueForPoint(where));
}

void ZMSlider::MouseUp(BPoint where)
{
	if (!fTracking)
		return;
	UserSets(ValueForPoint(where));
	fTracking = false;
	if (Window()) {
		BMessage up('smup');
		up.AddPointer("source", this);
		up.AddInt32("value", int32(fValue));
		Window()->PostMessage(&up);
	}
}

void ZMSlider::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes != 1) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	switch (bytes[0]) {
		case B_LEFT_ARROW:
		case B_DOWN_ARROW: UserSets(std::max(fMin, fValue - 1)); break;
		case B_RIGHT_ARROW:
		case B_UP_ARROW: UserSets(std::min(fMax, fValue + 1)); break;
		default: BView::KeyDown(bytes, numBytes);
	}
}

// ZMCheckBox

ZMCheckBox::ZMCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BCheckBox(frame, name, label, message, resizingMode, flags)
{
}

ZMCheckBox::~ZMCheckBox() {}

void ZMCheckBox::SetBoundsFromString(const char* text, float widthMargin, float heightMargin)
{
	font_height fh;
	GetFontHeight(&fh);
	// The box is as tall as a line of text, followed by a gap of 5.
	float line = std::ceil(fh.ascent + fh.descent);
	ResizeTo(line + 5 + StringWidth(text) + widthMargin, line + heightMargin);
}

// ZMButton

ZMButton::ZMButton(BRect frame, const char* name, const char* label, BMessage* message, float labelX,
	float labelY, uint32 resizingMode, uint32 flags)
	: BButton(frame, name, label, message, resizingMode, flags), fLabelOffset(labelX, labelY)
{
}

ZMButton::~ZMButton() {}

// ZMPushButton

ZMPushButton::ZMPushButton(BRect frame, const char* name, const char* label, rgb_color color,
	BMessage* message, uint32 resizingMode, uint32 flags)
	: BButton(frame, name, label, message, resizingMode, flags), fColor(color)
{
	SetViewColor(color);
	SetLowColor(color);
}

ZMPushButton::~ZMPushButton() {}

void ZMPushButton::SetColor(rgb_color color)
{
	fColor = color;
	SetViewColor(color);
	SetLowColor(color);
	Invalidate();
}

// ZMValueControl

ZMValueControl::ZMValueControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BTextControl(frame, name, label, "", message, resizingMode, flags)
{
}

ZMValueControl::~ZMValueControl() {}

void ZMValueControl::Constrain(int kind, float limit1, float limit2)
{
	fKind = kind;
	fLow = std::min(limit1, limit2);
	fHigh = std::max(limit1, limit2);
	BTextView* text = TextView();
	for (uint32 c = 0x20; c < 0x80; c++) {
		bool number = (c >= '0' && c <= '9') || c == '-' || c == '+' || (kind == 1 && (c == '.' || c == 'e'));
		if (kind == 0 || number)
			text->AllowChar(c);
		else
			text->DisallowChar(c);
	}
}

status_t ZMValueControl::Invoke(BMessage* message)
{
	if (fKind != 0 && (!message || message == Message())) {
		double entered = strtod(Text(), nullptr);
		double clamped = std::clamp(entered, double(fLow), double(fHigh));
		char text[64];
		if (fKind == 2)
			snprintf(text, sizeof(text), "%ld", long(std::lround(clamped)));
		else
			snprintf(text, sizeof(text), "%g", clamped);
		if (strcmp(text, Text()) != 0 && (fKind == 2 || clamped != entered))
			SetText(text);
	}
	return BTextControl::Invoke(message);
}
