// A window: a looper whose thread starts at the first Show(), holding a
// tree of views. Windows are created hidden. There is no screen; frames,
// visibility, titles and events are real.
#pragma once

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>
#include <View.h>

#include <atomic>
#include <string>

class BButton;

class BWindow : public BLooper {
public:
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	virtual ~BWindow();

	// Quitting hides the window first; the caller holds the lock (or is
	// the window's thread).
	void Quit() override;
	bool QuitRequested() override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	void MessageReceived(BMessage* message) override;

	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void Minimize(bool minimize);
	virtual void Zoom();

	// Hide and Show nest: Show() undoes one Hide(). The first Show()
	// starts the window's thread.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsMinimized() const { return fMinimized; }
	void Activate(bool active = true);
	bool IsActive() const { return fActive; }

	// The content area in screen coordinates.
	BRect Frame() const { return fFrame; }
	BRect Bounds() const { return BRect(0, 0, fFrame.Width(), fFrame.Height()); }
	void MoveTo(BPoint where) { MoveTo(where.x, where.y); }
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
	// Kept within the size limits.
	void ResizeTo(float width, float height);
	void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
	void SetZoomLimits(float, float) {}

	void SetTitle(const char* title);
	const char* Title() const { return fTitle.c_str(); }
	uint32 Flags() const { return fFlags; }
	status_t SetFlags(uint32 flags);
	window_type Type() const { return fType; }
	window_look Look() const { return fLook; }
	window_feel Feel() const { return fFeel; }
	uint32 Workspaces() const { return fWorkspaces; }
	void SetWorkspaces(uint32 workspaces) { fWorkspaces = workspaces; }

	// Updates: counted; while disabled, invalidations are still counted.
	void DisableUpdates();
	void EnableUpdates();
	bool UpdatesDisabled() const { return fUpdatesDisabled > 0; }
	void UpdateIfNeeded() {}
	void BeginViewTransaction() {}
	void EndViewTransaction() {}

	// The views.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	// The deepest visible view containing the point (window coordinates).
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const { return fFocus; }
	BView* LastMouseMovedView() const { return fLastMouseView; }
	void SetDefaultButton(BButton* button) { fDefaultButton = button; }
	BButton* DefaultButton() const { return fDefaultButton; }

	BPoint ConvertToScreen(BPoint point) const { return point + fFrame.LeftTop(); }
	BPoint ConvertFromScreen(BPoint point) const { return point - fFrame.LeftTop(); }
	BRect ConvertToScreen(BRect rect) const { return rect.OffsetByCopy(fFrame.LeftTop()); }

	// The root of the view tree.
	BView* ContentView() const { return fTopView; }
	// Messages waiting for the window's thread.
	int32 CountWaitingMessages() const { return CountQueuedMessages(); }

private:
	friend class BView;
	void Init(BRect frame, const char* title, uint32 flags);
	void SetFocus(BView* view);
	void ViewDetached(BView* view);

	std::string fTitle;
	BRect fFrame;
	uint32 fFlags = 0;
	window_type fType = B_TITLED_WINDOW;
	window_look fLook = B_TITLED_WINDOW_LOOK;
	window_feel fFeel = B_NORMAL_WINDOW_FEEL;
	uint32 fWorkspaces = B_CURRENT_WORKSPACE;
	// Read without the lock by the input layer and hosts.
	std::atomic<int32> fShowLevel{1};
	bool fRunCalled = false;
	std::atomic<bool> fMinimized{false};
	std::atomic<bool> fActive{false};
	int32 fUpdatesDisabled = 0;
	float fMinWidth = 0, fMaxWidth = 32768, fMinHeight = 0, fMaxHeight = 32768;
	BView* fTopView = nullptr;
	BView* fFocus = nullptr;
	BView* fLastMouseView = nullptr;
	BButton* fDefaultButton = nullptr;
	BPoint fMouse;
	uint32 fMouseButtons = 0;
};
