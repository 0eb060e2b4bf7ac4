// File choosers: a model of the open and save panels. There is no file
// browser to draw; a choice is made through the input API below (by the
// host for a diagram action, or by a test), and the panel then posts
// exactly the reply a user's choice would: B_REFS_RECEIVED with "refs" in
// open mode, B_SAVE_REQUESTED with the entry_ref "directory" and the
// string "name" in save mode.
#pragma once

#include <Entry.h>
#include <Message.h>
#include <Messenger.h>
#include <StorageDefs.h>

#include <mutex>
#include <string>
#include <vector>

class BLooper;
class BWindow;
class BNode;
struct stat;

enum file_panel_mode {
	B_OPEN_PANEL,
	B_SAVE_PANEL,
};

enum file_panel_button {
	B_CANCEL_BUTTON,
	B_DEFAULT_BUTTON,
};

// Decides which entries an open panel lists (and accepts).
class BRefFilter {
public:
	virtual ~BRefFilter() = default;
	virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* st, const char* mimeType) = 0;
};

class BFilePanel {
public:
	// target: where replies go (be_app when null). directory: where the
	// panel starts (the user's home when null). message: a template for
	// the reply; its what-code replaces the default one.
	BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
		const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
		bool allowMultipleSelection = true, BMessage* message = nullptr,
		BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
	virtual ~BFilePanel();

	void Show();
	void Hide();
	bool IsShowing() const;

	file_panel_mode PanelMode() const { return fMode; }
	BMessenger Messenger() const;
	void SetTarget(BMessenger target);
	void SetMessage(BMessage* message);
	void SetRefFilter(BRefFilter* filter);
	BRefFilter* RefFilter() const { return fFilter; }
	void SetSaveText(const char* text);
	const char* SaveText() const;
	void SetHideWhenDone(bool hide) { fHideWhenDone = hide; }
	bool HidesWhenDone() const { return fHideWhenDone; }
	uint32 NodeFlavors() const { return fFlavors; }
	void SetButtonLabel(file_panel_button button, const char* label);

	// The window title; kept by the model.
	void SetTitle(const char* title);
	const char* Title() const;
	// There is no window of the panel itself in this model.
	BWindow* Window() const { return nullptr; }

	void SetPanelDirectory(const entry_ref* ref);
	void SetPanelDirectory(const BEntry* entry);
	void SetPanelDirectory(const char* path);
	void GetPanelDirectory(entry_ref* ref) const;
	// The current directory's path.
	std::string PanelDirectoryPath() const;

	void Refresh() {}
	void Rewind();
	status_t GetNextSelectedRef(entry_ref* ref);

	// ---- Input API: what a user does with the panel.

	// Open mode: selects the entries and confirms. Every path must name an
	// existing entry the panel's filter and node flavours accept. Save
	// mode: the one path names the file to save; its directory must exist.
	// A relative path is taken from the panel's directory. Posts the reply
	// and, when the panel hides when done, hides it.
	status_t Choose(const std::vector<std::string>& paths);
	status_t Choose(const char* path);
	// Save mode, in the panel's own terms.
	status_t ChooseSave(const entry_ref& directory, const char* name);
	// Dismisses the panel: posts B_CANCEL with "old_what" and hides it.
	status_t Cancel();

	// True when the panel accepts the entry in open mode.
	bool Accepts(const std::string& path) const;

	// The looper that replies go to (a window, usually), or null.
	BLooper* TargetLooper() const;

	// The panels that exist now, oldest first.
	static std::vector<BFilePanel*> AllPanels();
	// The panels whose replies go to the looper.
	static std::vector<BFilePanel*> PanelsOf(const BLooper* looper);

private:
	status_t Post(BMessage* reply);
	std::string ResolveChoice(const std::string& path) const;

	mutable std::mutex fLock;
	file_panel_mode fMode;
	BMessenger fTarget;
	bool fHasTarget = false;
	BMessage* fMessage = nullptr;
	BRefFilter* fFilter;
	uint32 fFlavors;
	bool fMultiple;
	bool fHideWhenDone;
	bool fShowing = false;
	std::string fTitle;
	std::string fSaveText;
	std::string fDirectory;
	std::vector<entry_ref> fSelected;
	size_t fNextSelected = 0;
};

// Sends the references to target as a drop would: B_SIMPLE_DATA with
// "refs", one per path. Fails when a path's directory does not exist.
status_t platform_drop_refs(BMessenger target, const std::vector<std::string>& paths);
