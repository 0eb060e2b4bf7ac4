#include <Button.h>
#include <CheckBox.h>
#include <Control.h>
#include <RadioButton.h>
#include <Screen.h>
#include <ScrollView.h>
#include <Slider.h>
#include <StringView.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

const screen_id B_MAIN_SCREEN_ID = {0};

BScreen::BScreen(screen_id) {}
BScreen::BScreen(BWindow*) {}

namespace {

// Size of the box of check boxes and radio buttons, and its gap to the label.
constexpr float kBoxSize = 12;
constexpr float kBoxGap = 5;

bool IsActivationKey(const char* bytes, int32 numBytes)
{
	return numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER);
}

}  // namespace

// BControl

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags), BInvoker(message, nullptr)
{
	SetLabel(label);
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BControl::~BControl() {}

void BControl::AttachedToWindow()
{
	if (!Messenger().IsValid())
		SetTarget(Window());
	BView::AttachedToWindow();
}

void BControl::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void BControl::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
}

void BControl::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width)
		*width = StringWidth(Label()) + 6;
	if (height)
		*height = std::ceil(fh.ascent + fh.descent) + 4;
}

void BControl::SetLabel(const char* label)
{
	fHasLabel = label != nullptr;
	fLabel = label ? label : "";
	Invalidate();
}

void BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

void BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	Invalidate();
}

status_t BControl::Invoke(BMessage* message)
{
	if (!message)
		message = Message();
	if (!message)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("be:value", fValue);
	return BInvoker::Invoke(&copy);
}

// BButton

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags)
{
}

BButton::~BButton()
{
	if (Window() && Window()->DefaultButton() == this)
		Window()->SetDefaultButton(nullptr);
}

void BButton::MouseDown(BPoint)
{
	if (!IsEnabled())
		return;
	SetTracking(true);
	SetValue(B_CONTROL_ON);
}

void BButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	SetValue(B_CONTROL_OFF);
	if (Bounds().Contains(where))
		Invoke();
}

void BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (IsEnabled() && IsActivationKey(bytes, numBytes))
		Invoke();
	else
		BControl::KeyDown(bytes, numBytes);
}

void BButton::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width)
		*width = std::max(StringWidth(Label()) + 20, 60.0f);
	if (height)
		*height = std::ceil(fh.ascent + fh.descent) + 10;
}

void BButton::MakeDefault(bool flag)
{
	if (!Window())
		return;
	if (flag)
		Window()->SetDefaultButton(this);
	else if (Window()->DefaultButton() == this)
		Window()->SetDefaultButton(nullptr);
}

bool BButton::IsDefault() const
{
	return Window() && Window()->DefaultButton() == this;
}

// BCheckBox

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags)
{
}

BCheckBox::~BCheckBox() {}

void BCheckBox::MouseDown(BPoint)
{
	if (IsEnabled())
		SetTracking(true);
}

void BCheckBox::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	if (!Bounds().Contains(where))
		return;
	SetValue(Value() ? B_CONTROL_OFF : B_CONTROL_ON);
	Invoke();
}

void BCheckBox::KeyDown(const char* bytes, int32 numBytes)
{
	if (IsEnabled() && IsActivationKey(bytes, numBytes)) {
		SetValue(Value() ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
	} else {
		BControl::KeyDown(bytes, numBytes);
	}
}

void BCheckBox::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width)
		*width = kBoxSize + kBoxGap + StringWidth(Label()) + 2;
	if (height)
		*height = std::max(kBoxSize, std::ceil(fh.ascent + fh.descent)) + 2;
}

// BRadioButton

BRadioButton::BRadioButton(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags)
{
}

BRadioButton::~BRadioButton() {}

void BRadioButton::SetValue(int32 value)
{
	value = value ? B_CONTROL_ON : B_CONTROL_OFF;
	BControl::SetValue(value);
	if (value == B_CONTROL_OFF || !Parent())
		return;
	for (int32 i = 0; i < Parent()->CountChildren(); i++) {
		BRadioButton* sibling = dynamic_cast<BRadioButton*>(Parent()->ChildAt(i));
		if (sibling && sibling != this && sibling->Value() != B_CONTROL_OFF)
			sibling->BControl::SetValue(B_CONTROL_OFF);
	}
}

void BRadioButton::MouseDown(BPoint)
{
	if (IsEnabled())
		SetTracking(true);
}

void BRadioButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	if (!Bounds().Contains(where))
		return;
	SetValue(B_CONTROL_ON);
	Invoke();
}

void BRadioButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (IsEnabled() && IsActivationKey(bytes, numBytes)) {
		SetValue(B_CONTROL_ON);
		Invoke();
	} else {
		BControl::KeyDown(bytes, numBytes);
	}
}

void BRadioButton::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width)
		*width = kBoxSize + kBoxGap + StringWidth(Label()) + 2;
	if (height)
		*height = std::max(kBoxSize, std::ceil(fh.ascent + fh.descent)) + 2;
}

// BSlider

BSlider::BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
	int32 maxValue, thumb_style thumbType, uint32 resizingMode, uint32 flags)
	: BSlider(frame, name, label, message, minValue, maxValue, B_HORIZONTAL, thumbType,
		  resizingMode, flags)
{
}

BSlider::BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
	int32 maxValue, orientation posture, thumb_style thumbType, uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags),
	  fMin(std::min(minValue, maxValue)),
	  fMax(std::max(minValue, maxValue)),
	  fOrientation(posture),
	  fStyle(thumbType),
	  fBarColor(make_color(152, 152, 152)),
	  fFillColor(make_color(0, 0, 229))
{
	SetValueNoUpdate(fMin);
}

BSlider::~BSlider()
{
	delete fModificationMessage;
}

void BSlider::SetValue(int32 value)
{
	BControl::SetValue(std::clamp(value, fMin, fMax));
}

BRect BSlider::BarFrame() const
{
	// The bar runs along the lower part of the view (the label sits above),
	// inset by half a thumb at each end.
	BRect bounds = Bounds();
	constexpr float inset = 6;
	if (fOrientation == B_HORIZONTAL) {
		float y = std::round(bounds.bottom - std::max(bounds.Height() / 3, fBarThickness));
		return BRect(bounds.left + inset, y - fBarThickness / 2, bounds.right - inset,
			y + fBarThickness / 2);
	}
	float x = std::round(bounds.left + bounds.Width() / 2);
	return BRect(x - fBarThickness / 2, bounds.top + inset, x + fBarThickness / 2, bounds.bottom - inset);
}

bool BSlider::PointForValue(int32 value, BPoint* where) const
{
	value = std::clamp(value, fMin, fMax);
	BRect bar = BarFrame();
	float fraction = fMax == fMin ? 0 : float(value - fMin) / float(fMax - fMin);
	if (fOrientation == B_HORIZONTAL)
		*where = BPoint(bar.left + fraction * bar.Width(), (bar.top + bar.bottom) / 2);
	else
		*where = BPoint((bar.left + bar.right) / 2, bar.bottom - fraction * bar.Height());
	return true;
}

BPoint BSlider::ThumbCenter() const
{
	BPoint where;
	PointForValue(Value(), &where);
	return where;
}

int32 BSlider::ValueForPoint(BPoint where) const
{
	BRect bar = BarFrame();
	float fraction;
	if (fOrientation == B_HORIZONTAL)
		fraction = bar.Width() > 0 ? (where.x - bar.left) / bar.Width() : 0;
	else
		fraction = bar.Height() > 0 ? (bar.bottom - where.y) / bar.Height() : 0;
	fraction = std::clamp(fraction, 0.0f, 1.0f);
	return fMin + int32(std::lround(double(fraction) * double(fMax - fMin)));
}

void BSlider::TrackTo(BPoint where)
{
	int32 value = ValueForPoint(where);
	if (value == Value())
		return;
	SetValue(value);
	if (fModificationMessage)
		Invoke(fModificationMessage);
}

void BSlider::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	SetTracking(true);
	fStartValue = Value();
	TrackTo(where);
}

void BSlider::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (IsTracking())
		TrackTo(where);
}

void BSlider::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	TrackTo(where);
	SetTracking(false);
	if (Value() != fStartValue)
		Invoke();
}

void BSlider::KeyDown(const char* bytes, int32 numBytes)
{
	if (!IsEnabled() || numBytes != 1) {
		BControl::KeyDown(bytes, numBytes);
		return;
	}
	int32 value = Value();
	switch (bytes[0]) {
		case B_LEFT_ARROW:
		case B_DOWN_ARROW: value -= fKeyIncrement; break;
		case B_RIGHT_ARROW:
		case B_UP_ARROW: value += fKeyIncrement; break;
		case B_HOME: value = fMin; break;
		case B_END: value = fMax; break;
		default: BControl::KeyDown(bytes, numBytes); return;
	}
	value = std::clamp(value, fMin, fMax);
	if (value != Value()) {
		SetValue(value);
		Invoke();
	}
}

void BSlider::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	float line = std::ceil(fh.ascent + fh.descent);
	if (width)
		*width = std::max(StringWidth(Label()) + 12, 100.0f);
	if (height)
		*height = (Label() ? line + 2 : 0) + fBarThickness + 14;
}

void BSlider::SetModificationMessage(BMessage* message)
{
	if (message == fModificationMessage)
		return;
	delete fModificationMessage;
	fModificationMessage = message;
}

void BSlider::SetLimits(int32 minimum, int32 maximum)
{
	fMin = std::min(minimum, maximum);
	fMax = std::max(minimum, maximum);
	SetValue(Value());
}

void BSlider::GetLimits(int32* minimum, int32* maximum) const
{
	if (minimum)
		*minimum = fMin;
	if (maximum)
		*maximum = fMax;
}

float BSlider::Position() const
{
	return fMax == fMin ? 0 : float(Value() - fMin) / float(fMax - fMin);
}

void BSlider::SetPosition(float position)
{
	position = std::clamp(position, 0.0f, 1.0f);
	SetValue(fMin + int32(std::lround(double(position) * double(fMax - fMin))));
}

void BSlider::SetLimitLabels(const char* minLabel, const char* maxLabel)
{
	fMinLabel = minLabel ? minLabel : "";
	fMaxLabel = maxLabel ? maxLabel : "";
	Invalidate();
}

void BSlider::UseFillColor(bool use, const rgb_color* color)
{
	fUseFill = use;
	if (color)
		fFillColor = *color;
}

bool BSlider::FillColor(rgb_color* color) const
{
	if (color && fUseFill)
		*color = fFillColor;
	return fUseFill;
}

// BStringView

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
	uint32 flags)
	: BView(frame, name, resizingMode, flags), fText(text ? text : "")
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BStringView::~BStringView() {}

void BStringView::SetText(const char* text)
{
	fText = text ? text : "";
	Invalidate();
}

void BStringView::SetAlignment(alignment flag)
{
	fAlign = flag;
	Invalidate();
}

void BStringView::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width)
		*width = StringWidth(fText.c_str());
	if (height)
		*height = std::ceil(fh.ascent + fh.descent + fh.leading);
}

// BScrollView

BRect BScrollView::FrameFor(BView* target, bool horizontal, bool vertical, border_style border)
{
	BRect frame = target ? target->Frame() : BRect(0, 0, 16, 16);
	float inset = border == B_FANCY_BORDER ? 2 : border == B_PLAIN_BORDER ? 1 : 0;
	frame.InsetBy(-inset, -inset);
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	return frame;
}

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
	bool horizontal, bool vertical, border_style border)
	: BView(FrameFor(target, horizontal, vertical, border), name, resizingMode, flags),
	  fTarget(target),
	  fBorder(border),
	  fHorizontal(horizontal),
	  fVertical(vertical)
{
	if (target) {
		float inset = border == B_FANCY_BORDER ? 2 : border == B_PLAIN_BORDER ? 1 : 0;
		target->MoveTo(inset, inset);
		AddChild(target);
	}
}

BScrollView::~BScrollView() {}
