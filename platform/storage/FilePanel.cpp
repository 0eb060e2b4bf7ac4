#include <FilePanel.h>

#include <AppDefs.h>
#include <Application.h>
#include <Errors.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <NodeInfo.h>
#include <Path.h>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

namespace {

std::mutex sPanelsLock;
std::vector<BFilePanel*>& Panels()
{
	static auto* panels = new std::vector<BFilePanel*>;
	return *panels;
}

std::string HomeDirectory()
{
	BPath home;
	if (find_directory(B_USER_DIRECTORY, &home) == B_OK)
		return home.Path();
	return "/";
}

}  // namespace

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
	uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message, BRefFilter* filter,
	bool, bool hideWhenDone)
	: fMode(mode),
	  fFilter(filter),
	  fFlavors(nodeFlavors == 0 ? uint32(B_FILE_NODE) : nodeFlavors),
	  fMultiple(allowMultipleSelection),
	  fHideWhenDone(hideWhenDone)
{
	if (target) {
		fTarget = *target;
		fHasTarget = true;
	}
	if (message)
		fMessage = new BMessage(*message);
	fDirectory = HomeDirectory();
	if (directory)
		SetPanelDirectory(directory);
	std::lock_guard<std::mutex> guard(sPanelsLock);
	Panels().push_back(this);
}

BFilePanel::~BFilePanel()
{
	{
		std::lock_guard<std::mutex> guard(sPanelsLock);
		auto& panels = Panels();
		panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
	}
	delete fMessage;
}

void BFilePanel::Show()
{
	std::lock_guard<std::mutex> guard(fLock);
	fShowing = true;
}

void BFilePanel::Hide()
{
	std::lock_guard<std::mutex> guard(fLock);
	fShowing = false;
}

bool BFilePanel::IsShowing() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fShowing;
}

BMessenger BFilePanel::Messenger() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fHasTarget ? fTarget : be_app_messenger;
}

void BFilePanel::SetTarget(BMessenger target)
{
	std::lock_guard<std::mutex> guard(fLock);
	fTarget = target;
	fHasTarget = true;
}

void BFilePanel::SetMessage(BMessage* message)
{
	std::lock_guard<std::mutex> guard(fLock);
	delete fMessage;
	fMessage = message ? new BMessage(*message) : nullptr;
}

void BFilePanel::SetRefFilter(BRefFilter* filter)
{
	std::lock_guard<std::mutex> guard(fLock);
	fFilter = filter;
}

void BFilePanel::SetSaveText(const char* text)
{
	std::lock_guard<std::mutex> guard(fLock);
	fSaveText = text ? text : "";
}

const char* BFilePanel::SaveText() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fSaveText.c_str();
}

void BFilePanel::SetButtonLabel(file_panel_button, const char*) {}

void BFilePanel::SetTitle(const char* title)
{
	std::lock_guard<std::mutex> guard(fLock);
	fTitle = title ? title : "";
}

const char* BFilePanel::Title() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fTitle.c_str();
}

void BFilePanel::SetPanelDirectory(const char* path)
{
	BEntry entry(path, true);
	SetPanelDirectory(&entry);
}

void BFilePanel::SetPanelDirectory(const entry_ref* ref)
{
	BEntry entry(ref, true);
	SetPanelDirectory(&entry);
}

void BFilePanel::SetPanelDirectory(const BEntry* entry)
{
	// A directory that does not exist leaves the panel where it was.
	if (!entry || !entry->IsDirectory())
		return;
	std::lock_guard<std::mutex> guard(fLock);
	fDirectory = entry->PlatformPath();
}

std::string BFilePanel::PanelDirectoryPath() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fDirectory;
}

void BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref)
		get_ref_for_path(PanelDirectoryPath().c_str(), ref, false);
}

void BFilePanel::Rewind()
{
	std::lock_guard<std::mutex> guard(fLock);
	fNextSelected = 0;
}

status_t BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fNextSelected >= fSelected.size())
		return B_ENTRY_NOT_FOUND;
	if (ref)
		*ref = fSelected[fNextSelected];
	fNextSelected++;
	return B_OK;
}

BLooper* BFilePanel::TargetLooper() const
{
	BMessenger target = Messenger();
	BLooper* looper = nullptr;
	target.Target(&looper);
	return looper;
}

std::vector<BFilePanel*> BFilePanel::AllPanels()
{
	std::lock_guard<std::mutex> guard(sPanelsLock);
	return Panels();
}

std::vector<BFilePanel*> BFilePanel::PanelsOf(const BLooper* looper)
{
	std::vector<BFilePanel*> found;
	for (BFilePanel* panel : AllPanels())
		if (looper && panel->TargetLooper() == looper)
			found.push_back(panel);
	return found;
}

std::string BFilePanel::ResolveChoice(const std::string& path) const
{
	if (!path.empty() && path[0] == '/')
		return path;
	std::string dir = PanelDirectoryPath();
	return dir == "/" ? "/" + path : dir + "/" + path;
}

bool BFilePanel::Accepts(const std::string& path) const
{
	BEntry entry(ResolveChoice(path).c_str(), false);
	if (!entry.Exists())
		return false;
	BEntry target(ResolveChoice(path).c_str(), true);
	uint32 flavor = entry.IsSymLink() ? uint32(B_SYMLINK_NODE)
		: entry.IsDirectory() ? uint32(B_DIRECTORY_NODE) : uint32(B_FILE_NODE);
	// A link counts as what it points to as well.
	uint32 targetFlavor = target.IsDirectory() ? uint32(B_DIRECTORY_NODE)
		: target.Exists() ? uint32(B_FILE_NODE) : 0;
	if (!(fFlavors & flavor) && !(fFlavors & targetFlavor))
		return false;
	BRefFilter* filter;
	{
		std::lock_guard<std::mutex> guard(fLock);
		filter = fFilter;
	}
	if (!filter)
		return true;
	entry_ref ref;
	if (entry.GetRef(&ref) != B_OK)
		return false;
	BNode node(&entry);
	struct stat st;
	entry.GetStat(&st);
	char type[B_MIME_TYPE_LENGTH] = "";
	BNodeInfo info(&node);
	info.GetType(type);
	return filter->Filter(&ref, &node, &st, type);
}

status_t BFilePanel::Post(BMessage* reply)
{
	status_t result = Messenger().SendMessage(reply);
	if (result == B_OK && HidesWhenDone())
		Hide();
	return result;
}

status_t BFilePanel::Choose(const char* path)
{
	if (!path || !*path)
		return B_BAD_VALUE;
	return Choose(std::vector<std::string>{path});
}

status_t BFilePanel::Choose(const std::vector<std::string>& paths)
{
	if (paths.empty())
		return B_BAD_VALUE;
	if (fMode == B_SAVE_PANEL) {
		if (paths.size() != 1)
			return B_BAD_VALUE;
		BEntry entry(ResolveChoice(paths[0]).c_str(), false);
		if (entry.InitCheck() != B_OK)
			return B_ENTRY_NOT_FOUND;
		if (entry.IsDirectory())
			return B_IS_A_DIRECTORY;
		BEntry parent;
		entry_ref directory;
		char name[B_FILE_NAME_LENGTH];
		if (entry.GetParent(&parent) != B_OK || parent.GetRef(&directory) != B_OK
			|| entry.GetName(name) != B_OK)
			return B_ENTRY_NOT_FOUND;
		return ChooseSave(directory, name);
	}
	if (paths.size() > 1 && !fMultiple)
		return B_BAD_VALUE;
	std::vector<entry_ref> refs;
	for (const std::string& path : paths) {
		if (path.empty())
			return B_BAD_VALUE;
		BEntry entry(ResolveChoice(path).c_str(), false);
		if (!entry.Exists())
			return B_ENTRY_NOT_FOUND;
		if (!Accepts(path))
			return B_NOT_ALLOWED;
		entry_ref ref;
		if (entry.GetRef(&ref) != B_OK)
			return B_ENTRY_NOT_FOUND;
		refs.push_back(ref);
	}
	BMessage* reply;
	{
		std::lock_guard<std::mutex> guard(fLock);
		reply = fMessage ? new BMessage(*fMessage) : new BMessage(B_REFS_RECEIVED);
		fSelected = refs;
		fNextSelected = 0;
	}
	for (const entry_ref& ref : refs)
		reply->AddRef("refs", &ref);
	// The panel stays in the folder the choice was made in.
	BEntry first(&refs[0]);
	BEntry parent;
	if (first.GetParent(&parent) == B_OK)
		SetPanelDirectory(&parent);
	status_t result = Post(reply);
	delete reply;
	return result;
}

status_t BFilePanel::ChooseSave(const entry_ref& directory, const char* name)
{
	if (fMode != B_SAVE_PANEL || !name || !*name || strchr(name, '/'))
		return B_BAD_VALUE;
	BEntry dir(&directory, true);
	if (!dir.IsDirectory())
		return B_ENTRY_NOT_FOUND;
	BMessage* reply;
	{
		std::lock_guard<std::mutex> guard(fLock);
		reply = fMessage ? new BMessage(*fMessage) : new BMessage(B_SAVE_REQUESTED);
		fSaveText = name;
	}
	reply->AddRef("directory", &directory);
	reply->AddString("name", name);
	SetPanelDirectory(&dir);
	status_t result = Post(reply);
	delete reply;
	return result;
}

status_t BFilePanel::Cancel()
{
	BMessage reply(B_CANCEL);
	{
		std::lock_guard<std::mutex> guard(fLock);
		reply.AddInt32("old_what", int32(fMessage ? fMessage->what
			: fMode == B_SAVE_PANEL ? uint32(B_SAVE_REQUESTED) : uint32(B_REFS_RECEIVED)));
	}
	status_t result = Messenger().SendMessage(&reply);
	Hide();
	return result;
}

status_t platform_drop_refs(BMessenger target, const std::vector<std::string>& paths)
{
	if (paths.empty())
		return B_BAD_VALUE;
	BMessage drop(B_SIMPLE_DATA);
	for (const std::string& path : paths) {
		entry_ref ref;
		status_t result = get_ref_for_path(path.c_str(), &ref, false);
		if (result != B_OK)
			return result;
		drop.AddRef("refs", &ref);
	}
	return target.SendMessage(&drop);
}
