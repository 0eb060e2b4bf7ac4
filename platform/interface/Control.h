// A view with a value and a label that sends its message when the user
// operates it. The target defaults to the control's window; Invoke() adds
// "when" (int64), "source" (pointer to the control) and "be:value" (int32)
// to a copy of the message.
#pragma once

#include <Invoker.h>
#include <Message.h>
#include <View.h>

#include <string>

class BControl : public BView, public BInvoker {
public:
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode, uint32 flags);
	virtual ~BControl();

	void AttachedToWindow() override;
	void MessageReceived(BMessage* message) override;
	void MakeFocus(bool focus = true) override;
	void GetPreferredSize(float* width, float* height) override;

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.empty() && !fHasLabel ? nullptr : fLabel.c_str(); }
	virtual void SetValue(int32 value);
	int32 Value() const { return fValue; }
	void SetValueNoUpdate(int32 value) { fValue = value; }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }

	status_t Invoke(BMessage* message = nullptr) override;

protected:
	bool IsTracking() const { return fTracking; }
	void SetTracking(bool tracking) { fTracking = tracking; }

private:
	std::string fLabel;
	bool fHasLabel = false;
	int32 fValue = 0;
	bool fEnabled = true;
	bool fTracking = false;
};
