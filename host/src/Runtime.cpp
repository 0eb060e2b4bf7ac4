#include <vantrel/Runtime.h>

#include <Application.h>
#include <Window.h>
#include <ZMPanel.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include <pthread.h>

namespace vantrel {

// The application object: panels post the message they were handed to it
// when the user closes them. The message names the element it belongs to.
class HostApplication : public BApplication {
public:
	explicit HostApplication(Runtime& runtime)
		: BApplication("application/x-vnd.vantrel-host"), fRuntime(runtime)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		const char* id = nullptr;
		if (message->FindString("vantrel:element", &id) == B_OK) {
			int32 serial = message->GetInt32("vantrel:serial", 0);
			// Under the runtime's element lock: the host thread may be
			// opening or removing elements meanwhile.
			fRuntime.WithElement(id, [serial](Element& element) {
				element.panelOpen = false;
				element.closedPanelSerial = serial;
				element.panelCloses++;
			});
			return;
		}
		BApplication::MessageReceived(message);
	}

private:
	Runtime& fRuntime;
};

struct Runtime::AppRunner {
	std::unique_ptr<HostApplication> app;
	std::thread thread;
	bool owned = false;
};

Element::Element(Runtime& runtime, Module& module, std::string id)
	: fRuntime(runtime), fModule(module), fId(std::move(id))
{
	for (size_t i = 0; i < module.Ports().size(); i++) {
		auto port = std::make_unique<PortState>();
		port->element = this;
		port->index = int(i);
		port->info = &module.Ports()[i];
		port->recording = runtime.Options().recordSources && port->info->IsSource();
		fPorts.push_back(std::move(port));
	}
	// The windows OpenElem creates are the element's; the first is its panel.
	std::vector<BWindow*> before;
	for (int32 i = 0; be_app && i < be_app->CountWindows(); i++)
		before.push_back(be_app->WindowAt(i));
	fHandle = module.openElem();
	for (int32 i = 0; be_app && i < be_app->CountWindows(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (std::find(before.begin(), before.end(), window) == before.end()) {
			fPanelWindow = BMessenger(window);
			break;
		}
	}
	if (!fHandle)
		throw UserError("module " + module.Name() + ": OpenElem returned no element");
}

Element::~Element()
{
	Close();
	JoinSources(fRuntime.Options().joinTimeout);
	Terminate();
}

PortState& Element::Port(const std::string& name)
{
	int index = fModule.PortIndex(name);
	if (index < 0) {
		std::string known;
		for (const PortInfo& port : fModule.Ports())
			known += (known.empty() ? "" : ", ") + ("\"" + port.name + "\"");
		throw UserError("unknown port \"" + name + "\" on element '" + fId + "' (module "
			+ fModule.Name() + " has " + known + ")");
	}
	return *fPorts[size_t(index)];
}

PortState& Element::Port(int index)
{
	if (index < 0 || index >= int(fPorts.size()))
		throw UserError("port index out of range on element '" + fId + "'");
	return *fPorts[size_t(index)];
}

int Element::Call(const std::string& port, ItemList& items)
{
	return Call(port, items.items(), items.count());
}

int Element::Call(const std::string& port, ZItem*& items, int& count)
{
	PortState& state = Port(port);
	if (!state.info->IsInline())
		throw UserError("port \"" + port + "\" of element '" + fId + "' is a source port");
	fRuntime.BeginActivity();
	int result = state.info->function(fHandle, items, count);
	fRuntime.EndActivity();
	return result;
}

int Element::Inject(const std::string& port, ItemList& items)
{
	return Inject(port, items.items(), items.count());
}

int Element::Inject(const std::string& port, ZItem*& items, int& count)
{
	PortState& state = Port(port);
	fRuntime.BeginActivity();
	int result = Call(port, items, count);
	if (result == 0) {
		if (state.observer)
			state.observer(items, count);
		fRuntime.Deliver(state, items, count);
	}
	fRuntime.EndActivity();
	return result;
}

void Element::SourceLoop(PortState* port)
{
	std::string name = fId + "." + port->info->name;
	pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
	ZItem* items = nullptr;
	int count = 0;
	while (true) {
		int result = port->info->function(fHandle, items, count);
		if (result != 0)
			break;
		fRuntime.BeginActivity();
		if (port->observer)
			port->observer(items, count);
		bool record;
		{
			// Pull may turn recording on from another thread.
			std::lock_guard<std::mutex> guard(port->recordLock);
			record = port->recording;
		}
		if (record) {
			Delivery copy = Snapshot(items, count);
			std::lock_guard<std::mutex> guard(port->recordLock);
			port->recorded.push_back(std::move(copy));
			port->recordCondition.notify_all();
		}
		fRuntime.Deliver(*port, items, count);
		fRuntime.EndActivity();
	}
	// The port has released its payloads; free what a faulty port left
	// and the array.
	ReleaseList(items, count);
	port->finished = true;
	{
		std::lock_guard<std::mutex> guard(port->recordLock);
		port->recordCondition.notify_all();
	}
}

void Element::StartSources()
{
	std::lock_guard<std::mutex> guard(fStartLock);
	if (fSourcesStarted || fClosed)
		return;
	fSourcesStarted = true;
	for (auto& port : fPorts) {
		if (!port->info->IsSource())
			continue;
		port->started = true;
		port->running = true;
		PortState* raw = port.get();
		port->thread = std::thread([this, raw] { SourceLoop(raw); });
	}
}

bool Element::Pull(const std::string& portName, Delivery* out, bigtime_t timeout)
{
	PortState& port = Port(portName);
	if (!port.info->IsSource())
		throw UserError("port \"" + portName + "\" of element '" + fId + "' is not a source port");
	{
		std::lock_guard<std::mutex> guard(port.recordLock);
		port.recording = true;
	}
	StartSources();
	std::unique_lock<std::mutex> guard(port.recordLock);
	bool got = port.recordCondition.wait_for(guard, std::chrono::microseconds(timeout),
		[&] { return !port.recorded.empty() || port.finished; });
	if (!got || port.recorded.empty())
		return false;
	if (out)
		*out = std::move(port.recorded.front());
	port.recorded.pop_front();
	return true;
}

void Element::ClearRecorded(const std::string& portName)
{
	PortState& port = Port(portName);
	std::lock_guard<std::mutex> guard(port.recordLock);
	port.recorded.clear();
}

size_t Element::CountRecorded(const std::string& portName)
{
	PortState& port = Port(portName);
	std::lock_guard<std::mutex> guard(port.recordLock);
	return port.recorded.size();
}

void Element::SetLabel(const std::string& label)
{
	fLabel = label;
	if (!fModule.labelElem || !fHandle || fTerminated)
		return;
	fLabels.push_back(label);
	fModule.labelElem(fHandle, fLabels.back().c_str());
}

int Element::ShowPanel(BMessage* panelMessage)
{
	if (!fModule.panel || !fHandle || fTerminated) {
		delete panelMessage;
		return -1;
	}
	// Under the panel's lock the module's Panel call and what it kept are
	// one step: a panel already holding a message does not take this one,
	// and it is freed here. A panel that is not a ZMPanel keeps its own
	// books; its message is left to it.
	BWindow* window = LockPanel();
	ZMPanel* zmPanel = dynamic_cast<ZMPanel*>(window);
	int result = fModule.panel(fHandle, panelMessage);
	bool kept = zmPanel ? zmPanel->panelMessage == panelMessage : result == 0;
	if (window)
		window->Unlock();
	if (!kept)
		delete panelMessage;
	if (result == 0)
		panelOpen = true;
	return result;
}

BWindow* Element::LockPanel() const
{
	if (!fPanelWindow.IsValid() || fPanelWindow.LockTargetWithTimeout(5000000) != B_OK)
		return nullptr;
	BLooper* looper = nullptr;
	fPanelWindow.Target(&looper);
	BWindow* window = dynamic_cast<BWindow*>(looper);
	if (!window && looper)
		looper->Unlock();
	return window;
}

int Element::ShowPanel()
{
	// The message a panel posts to the application when the user closes
	// it; it tells the application whose panel it was.
	BMessage* message = new BMessage('VPNL');
	message->AddString("vantrel:element", fId.c_str());
	message->AddInt32("vantrel:serial", ++fPanelSerial);
	return ShowPanel(message);
}

void Element::SaveState(BMessage* state)
{
	if (fModule.saveState && fHandle && !fTerminated)
		fModule.saveState(fHandle, state);
}

void Element::SetState(BMessage* state)
{
	if (fModule.setState && fHandle && !fTerminated)
		fModule.setState(fHandle, state);
}

void Element::LoadComplete()
{
	if (fModule.loadComplete && fHandle && !fTerminated)
		fModule.loadComplete(fHandle);
}

void Element::Close()
{
	if (fClosed || !fHandle)
		return;
	{
		std::lock_guard<std::mutex> guard(fStartLock);
		fClosed = true;
	}
	fModule.closeElem(fHandle);
}

std::vector<std::string> Element::JoinSources(bigtime_t timeout)
{
	std::vector<std::string> stuck;
	bigtime_t deadline = system_time() + timeout;
	for (auto& port : fPorts) {
		if (!port->started || !port->thread.joinable())
			continue;
		std::unique_lock<std::mutex> guard(port->recordLock);
		bool done = port->recordCondition.wait_until(guard,
			std::chrono::steady_clock::now() + std::chrono::microseconds(std::max<bigtime_t>(0, deadline - system_time())),
			[&] { return port->finished.load(); });
		guard.unlock();
		if (done) {
			port->thread.join();
		} else {
			port->thread.detach();
			stuck.push_back(port->info->name);
		}
	}
	if (!stuck.empty()) {
		// A thread still runs inside the module: it must stay loaded, and
		// the element must not be freed under it.
		fModule.KeepLoaded();
		fModule.SkipShutDown();
		fTerminated = true;
		fStuck = true;
	}
	return stuck;
}

void Element::Terminate()
{
	if (fTerminated || !fHandle)
		return;
	fTerminated = true;
	fModule.terminateElem(fHandle);
}

Runtime::Runtime(RuntimeOptions options)
	: fOptions(std::move(options)),
	  fCatalog(fOptions.moduleDirectory.empty() ? DefaultModuleDirectory() : fOptions.moduleDirectory),
	  fApp(new AppRunner)
{
	fLastActivity = system_time();
	if (!be_app) {
		fApp->app = std::make_unique<HostApplication>(*this);
		fApp->owned = true;
		HostApplication* app = fApp->app.get();
		fApp->thread = std::thread([app] { app->Run(); });
		app->WaitUntilRunning(5000000);
	}
}

Runtime::~Runtime()
{
	Shutdown();
	if (fApp->owned) {
		fApp->app->Quit();
		if (fApp->thread.joinable())
			fApp->thread.join();
		fApp->app.reset();
	}
}

BLooper* Runtime::Application() const { return be_app; }

Element& Runtime::Open(const std::string& moduleName, const std::string& id)
{
	std::string reason;
	Module* module = fCatalog.Get(moduleName, &reason);
	if (!module)
		throw UserError("unknown module \"" + moduleName + "\": " + reason);
	std::string name = id.empty() ? moduleName + std::to_string(fNextId++) : id;
	if (Find(name))
		throw UserError("element id '" + name + "' is used twice");
	auto element = std::make_unique<Element>(*this, *module, name);
	std::lock_guard<std::mutex> guard(fElementsLock);
	fElements.push_back(std::move(element));
	return *fElements.back();
}

Element* Runtime::Find(const std::string& id) const
{
	std::lock_guard<std::mutex> guard(fElementsLock);
	for (const auto& element : fElements)
		if (element->Id() == id)
			return element.get();
	return nullptr;
}

bool Runtime::WithElement(const std::string& id, const std::function<void(Element&)>& f)
{
	std::lock_guard<std::mutex> guard(fElementsLock);
	for (const auto& element : fElements) {
		if (element->Id() == id) {
			f(*element);
			return true;
		}
	}
	return false;
}

bool Runtime::Reaches(const PortState& from, const PortState& target) const
{
	if (&from == &target)
		return true;
	for (const Cord& cord : from.cords) {
		const PortState& next = cord.to->Port(cord.port);
		if (Reaches(next, target))
			return true;
	}
	return false;
}

void Runtime::Connect(Element& from, const std::string& fromPort, Element& to, const std::string& toPort)
{
	PortState& source = from.Port(fromPort);
	PortState& target = to.Port(toPort);
	if (!target.info->IsInline())
		throw UserError("a cord must end on an in-line port, but \"" + toPort + "\" of element '"
			+ to.Id() + "' is a source port");
	// Delivery runs depth-first in one thread: a loop of in-line ports
	// would never end.
	if (Reaches(target, source))
		throw UserError("the cord " + from.Id() + "." + fromPort + " -> " + to.Id() + "." + toPort
			+ " closes a loop of in-line ports");
	source.cords.push_back(Cord{&to, target.index});
}

void Runtime::Start()
{
	for (auto& element : fElements)
		element->StartSources();
}

namespace {

// A list the host copied for one cord; released by how it was allocated,
// whatever the filters did to the item types meanwhile.
struct HostCopy {
	ZItem* items;
	int count;
	std::vector<std::pair<void*, bool>> owned;  // payload, allocated with array new

	HostCopy(const ZItem* source, int n) : items(DeepCopy(source, n)), count(n)
	{
		for (int i = 0; i < n; i++)
			owned.emplace_back(items[i].size != 0 ? items[i].data : nullptr, items[i].type == Z_MIDI);
	}

	~HostCopy()
	{
		for (int i = 0; i < count; i++) {
			auto [payload, isArray] = owned[size_t(i)];
			if (payload && items[i].data == payload && items[i].size != 0) {
				if (isArray)
					delete[] static_cast<uint8*>(payload);
				else
					free(payload);
			}
			items[i] = zero_item;
		}
		delete[] items;
	}
};

}  // namespace

void Runtime::Deliver(PortState& from, ZItem* items, int count)
{
	if (from.cords.empty())
		return;
	BeginActivity();
	std::vector<std::unique_ptr<HostCopy>> copies;
	for (size_t i = 1; i < from.cords.size(); i++)
		copies.push_back(std::make_unique<HostCopy>(items, count));
	for (size_t i = 0; i < from.cords.size(); i++) {
		const Cord& cord = from.cords[i];
		ZItem* list = i == 0 ? items : copies[i - 1]->items;
		int n = count;
		PortState& target = cord.to->Port(cord.port);
		int result = target.info->function(cord.to->Handle(), list, n);
		if (result == 0) {
			if (target.observer)
				target.observer(list, n);
			Deliver(target, list, n);
		}
	}
	EndActivity();
}

void Runtime::NoteActivity() { fLastActivity = system_time(); }

void Runtime::BeginActivity()
{
	fInFlight++;
	fLastActivity = system_time();
}

void Runtime::EndActivity()
{
	fLastActivity = system_time();
	fInFlight--;
}

bool Runtime::WaitIdle(bigtime_t quiet, bigtime_t limit)
{
	bigtime_t deadline = system_time() + limit;
	while (true) {
		bigtime_t now = system_time();
		if (fInFlight == 0 && now - fLastActivity >= quiet)
			return true;
		if (now >= deadline)
			return false;
		snooze(std::min<bigtime_t>(5000, quiet / 4 + 1));
	}
}

std::vector<std::string> Runtime::Shutdown()
{
	std::vector<std::string> stuck;
	if (fShutDown)
		return stuck;
	fShutDown = true;
	for (auto& element : fElements)
		element->Close();
	for (auto& element : fElements)
		for (const std::string& port : element->JoinSources(fOptions.joinTimeout))
			stuck.push_back(element->GetModule().Name() + " " + element->Id() + "." + port);
	for (auto& element : fElements)
		element->Terminate();
	// An element whose source thread is still running inside the module
	// stays allocated (and reachable), since that thread still uses it.
	static auto* stillRunning = new std::vector<Element*>;
	std::lock_guard<std::mutex> guard(fElementsLock);
	for (auto& element : fElements)
		if (element->fStuck)
			stillRunning->push_back(element.release());
	fElements.clear();
	fCatalog.UnloadAll();
	return stuck;
}

}  // namespace vantrel
