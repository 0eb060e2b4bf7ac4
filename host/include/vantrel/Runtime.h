// The host runtime: elements, cords, source threads and delivery.
#pragma once

#include <vantrel/Items.h>
#include <vantrel/Module.h>

#include <Message.h>
#include <Messenger.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class BWindow;

namespace vantrel {

class Runtime;
class Element;

// An error a user can meet: bad input, unknown names, failed loads.
class UserError : public std::runtime_error {
public:
	using std::runtime_error::runtime_error;
};

struct Cord {
	Element* to;
	int port;
};

// One port of one element, with the cords leaving it.
struct PortState {
	Element* element = nullptr;
	int index = -1;
	const PortInfo* info = nullptr;
	std::vector<Cord> cords;

	// Source port puller.
	std::thread thread;
	std::atomic<bool> running{false};
	std::atomic<bool> finished{false};
	bool started = false;

	// Deliveries recorded from this port (for tests and taps).
	std::mutex recordLock;
	std::condition_variable recordCondition;
	std::deque<Delivery> recorded;
	std::atomic<bool> recording{false};
	// Sees every list leaving the port: a source port's deliveries and
	// what an in-line port passes on. Set before the runtime starts.
	std::function<void(const ZItem*, int)> observer;
};

class Element {
public:
	Element(Runtime& runtime, Module& module, std::string id);
	~Element();

	const std::string& Id() const { return fId; }
	Module& GetModule() const { return fModule; }
	void* Handle() const { return fHandle; }
	bool IsOpen() const { return fHandle != nullptr && !fClosed; }
	bool IsClosed() const { return fClosed; }

	PortState& Port(const std::string& name);
	PortState& Port(int index);
	int PortCount() const { return int(fPorts.size()); }

	// Calls an in-line port with an item list; returns the port's result.
	int Call(const std::string& port, ItemList& items);
	int Call(const std::string& port, ZItem*& items, int& count);
	// Calls an in-line port and, when it passes the items on, delivers
	// them along the port's cords.
	int Inject(const std::string& port, ZItem*& items, int& count);
	int Inject(const std::string& port, ItemList& items);

	// Starts the source threads of this element (once).
	void StartSources();
	// The next delivery recorded from a source port, waiting until the
	// deadline; false when nothing came in time. Starts the sources.
	bool Pull(const std::string& port, Delivery* out, bigtime_t timeout);
	// Drops what was recorded so far.
	void ClearRecorded(const std::string& port);
	size_t CountRecorded(const std::string& port);

	// The other exports.
	void SetLabel(const std::string& label);
	const std::string& Label() const { return fLabel; }
	int ShowPanel(BMessage* panelMessage);
	int ShowPanel();
	void SaveState(BMessage* state);
	void SetState(BMessage* state);
	void LoadComplete();
	// Calls CloseElem once.
	void Close();
	// Waits for the element's source threads; names the ports that did not
	// return in time.
	std::vector<std::string> JoinSources(bigtime_t timeout);
	// Calls TerminateElem once (only after every port has returned).
	void Terminate();

	// The element's panel: the first window its OpenElem created. The
	// messenger is invalid when there is none or the window is gone.
	BMessenger PanelWindow() const { return fPanelWindow; }
	// Locks the panel window and returns it; null when there is none.
	// The caller unlocks it.
	BWindow* LockPanel() const;

	bool panelRequested = false;
	std::atomic<bool> panelOpen{false};
	// Messages the element's panel posted to the application on close.
	std::atomic<int> panelCloses{0};
	// ShowPanel() numbers the messages it hands over ("vantrel:serial");
	// the number of the last one a panel posted back on close.
	std::atomic<int> closedPanelSerial{0};

private:
	friend class Runtime;
	void SourceLoop(PortState* port);

	Runtime& fRuntime;
	Module& fModule;
	std::string fId;
	void* fHandle = nullptr;
	bool fClosed = false;
	bool fTerminated = false;
	bool fSourcesStarted = false;
	bool fStuck = false;
	std::string fLabel;
	BMessenger fPanelWindow;
	int fPanelSerial = 0;
	// Labels handed to LabelElem; the module keeps the pointer.
	std::list<std::string> fLabels;
	std::vector<std::unique_ptr<PortState>> fPorts;
	std::mutex fStartLock;
};

struct RuntimeOptions {
	std::string moduleDirectory;
	// Record every delivery leaving a source port (tests).
	bool recordSources = false;
	// How long CloseElem's released source ports get to return.
	bigtime_t joinTimeout = 5000000;
};

class Runtime {
public:
	explicit Runtime(RuntimeOptions options = {});
	~Runtime();

	ModuleCatalog& Catalog() { return fCatalog; }
	const RuntimeOptions& Options() const { return fOptions; }

	// Opens an element of the module (loading the module on first use).
	Element& Open(const std::string& module, const std::string& id = "");
	Element* Find(const std::string& id) const;
	// Runs f on the element while no element can be added or removed.
	bool WithElement(const std::string& id, const std::function<void(Element&)>& f);
	const std::vector<std::unique_ptr<Element>>& Elements() const { return fElements; }

	// Adds a cord from an element's output port to another's in-line
	// port. A cord that would close a loop of in-line ports is refused.
	void Connect(Element& from, const std::string& fromPort, Element& to, const std::string& toPort);

	// Starts every element's source threads.
	void Start();
	// Delivers the items along the cords of the port, depth-first, in the
	// calling thread. Cords after the first get their own deep copy.
	void Deliver(PortState& from, ZItem* items, int count);

	// Waits until no delivery has been in progress or started for `quiet`;
	// false when `limit` passed first.
	bool WaitIdle(bigtime_t quiet, bigtime_t limit);
	void NoteActivity();
	void BeginActivity();
	void EndActivity();

	// Closes every element, joins the source threads, terminates the
	// elements and unloads the modules. Returns the ports that did not
	// return, as "module element.port".
	std::vector<std::string> Shutdown();

	// The application object, running in a thread of the runtime.
	BLooper* Application() const;

private:
	bool Reaches(const PortState& from, const PortState& target) const;

	RuntimeOptions fOptions;
	ModuleCatalog fCatalog;
	std::vector<std::unique_ptr<Element>> fElements;
	mutable std::mutex fElementsLock;
	bool fShutDown = false;
	int fNextId = 1;

	std::atomic<int> fInFlight{0};
	std::atomic<bigtime_t> fLastActivity{0};

	struct AppRunner;
	std::unique_ptr<AppRunner> fApp;
};

}  // namespace vantrel
