#include <vantrel/Module.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <dlfcn.h>
#include <unistd.h>

#ifndef VANTREL_BUILD_MODULE_DIR
#define VANTREL_BUILD_MODULE_DIR ""
#endif

namespace fs = std::filesystem;

namespace vantrel {

std::string FourCC(uint32 code)
{
	std::string s;
	for (int shift = 24; shift >= 0; shift -= 8) {
		char c = char((code >> shift) & 0xFF);
		s += (c >= 32 && c < 127) ? c : '?';
	}
	return s;
}

std::string KindName(uint32 kind)
{
	switch (kind) {
		case Z_FILT: return "filter";
		case Z_FLT1: return "filter";
		case Z_DSRC: return "source";
		default: return "unknown";
	}
}

std::unique_ptr<Module> Module::Load(const std::string& path, std::string* reason)
{
	auto fail = [&](const std::string& why) -> std::unique_ptr<Module> {
		if (reason)
			*reason = why;
		return nullptr;
	};

	std::unique_ptr<Module> module(new Module);
	module->fPath = path;
	module->fName = fs::path(path).stem().string();

	dlerror();
	void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (!handle) {
		const char* error = dlerror();
		return fail(std::string("cannot be loaded: ") + (error ? error : "unknown error"));
	}
	module->fHandle = handle;

	auto required = [&](const char* name) { return dlsym(handle, name); };
	void* init = required("ZM_Init");
	module->openElem = reinterpret_cast<OpenElemFunc>(required("OpenElem"));
	module->closeElem = reinterpret_cast<CloseElemFunc>(required("CloseElem"));
	module->terminateElem = reinterpret_cast<TerminateElemFunc>(required("TerminateElem"));
	module->shutDown = reinterpret_cast<ShutDownFunc>(required("ShutDown"));
	const char* missing = !init ? "ZM_Init" : !module->openElem ? "OpenElem"
		: !module->closeElem ? "CloseElem" : !module->terminateElem ? "TerminateElem"
		: !module->shutDown ? "ShutDown" : nullptr;
	if (missing) {
		// Not a module: nothing of it ran, so it can be unloaded at once.
		module->fSkipShutDown = true;
		return fail(std::string("not a module: it has no ") + missing + " export");
	}
	module->labelElem = reinterpret_cast<LabelElemFunc>(dlsym(handle, "LabelElem"));
	module->panel = reinterpret_cast<PanelFunc>(dlsym(handle, "Panel"));
	module->saveState = reinterpret_cast<SaveStateFunc>(dlsym(handle, "SaveState"));
	module->setState = reinterpret_cast<SetStateFunc>(dlsym(handle, "SetState"));
	module->loadComplete = reinterpret_cast<LoadCompleteFunc>(dlsym(handle, "LoadComplete"));

	BMessage* registration = reinterpret_cast<ZM_InitFunc>(init)();
	if (!registration)
		return fail("ZM_Init returned no registration message");
	if (registration->what != Z_REGISTRATION)
		return fail("the registration message has what-code '" + FourCC(registration->what)
			+ "' instead of 'ZXND'");
	const char* description = nullptr;
	if (registration->FindString("module", &description) != B_OK)
		return fail("the registration message has no \"module\" string");
	module->fDescription = description;

	for (int32 i = 0;; i++) {
		const char* name = nullptr;
		type_code type;
		int32 count;
		if (registration->GetInfo(B_ANY_TYPE, i, &name, &type, &count) != B_OK)
			break;
		if (type == B_STRING_TYPE && strcmp(name, "HelpFile") == 0) {
			module->fHelpFile = registration->FindString("HelpFile");
			module->fHasHelpFile = true;
			continue;
		}
		if (type != Z_NODE)
			continue;
		const void* data;
		ssize_t size;
		if (registration->FindData(name, Z_NODE, 0, &data, &size) != B_OK
			|| size != ssize_t(sizeof(ZPortRecord)))
			return fail(std::string("port record \"") + name + "\" has the wrong size");
		ZPortRecord record;
		memcpy(&record, data, sizeof(record));
		if (record.kind != Z_FILT && record.kind != Z_FLT1 && record.kind != Z_DSRC)
			return fail(std::string("port \"") + name + "\" has unknown kind '"
				+ FourCC(record.kind) + "'");
		if (!record.function)
			return fail(std::string("port \"") + name + "\" has no function");
		PortInfo port;
		port.name = name;
		port.kind = record.kind;
		port.function = record.function;
		module->fPorts.push_back(port);
	}
	if (module->fPorts.empty())
		return fail("the registration message names no ports");

	BAppFileInfo info(path.c_str());
	if (info.InitCheck() == B_OK) {
		char signature[B_MIME_TYPE_LENGTH];
		if (info.GetSignature(signature) == B_OK)
			module->fSignature = signature;
		module->fHasVersion = info.GetVersionInfo(&module->fVersion, B_APP_VERSION_KIND) == B_OK;
		std::vector<uint8> bits;
		module->fHasMiniIcon = info.GetIconData(B_MINI_ICON, &bits) == B_OK;
		module->fHasLargeIcon = info.GetIconData(B_LARGE_ICON, &bits) == B_OK;
	}
	return module;
}

Module::~Module()
{
	if (fHandle && shutDown && !fSkipShutDown)
		shutDown();
	if (fHandle && !fKeepLoaded)
		dlclose(fHandle);
}

const PortInfo* Module::FindPort(const std::string& name) const
{
	for (const PortInfo& port : fPorts)
		if (port.name == name)
			return &port;
	return nullptr;
}

int Module::PortIndex(const std::string& name) const
{
	for (size_t i = 0; i < fPorts.size(); i++)
		if (fPorts[i].name == name)
			return int(i);
	return -1;
}

ModuleCatalog::ModuleCatalog(std::string directory) : fDirectory(std::move(directory)) {}
ModuleCatalog::~ModuleCatalog() { UnloadAll(); }

std::vector<std::string> ModuleCatalog::Available() const
{
	std::vector<std::string> names;
	std::error_code error;
	for (const auto& entry : fs::directory_iterator(fDirectory, error)) {
		if (entry.path().extension() == ".so")
			names.push_back(entry.path().stem().string());
	}
	std::sort(names.begin(), names.end());
	return names;
}

void ModuleCatalog::LoadAll()
{
	for (const std::string& name : Available()) {
		std::string reason;
		Get(name, &reason);
	}
}

Module* ModuleCatalog::Get(const std::string& name, std::string* reason)
{
	for (auto& module : fModules)
		if (module->Name() == name)
			return module.get();
	for (const ScanProblem& problem : fProblems) {
		if (fs::path(problem.file).stem().string() == name) {
			if (reason)
				*reason = problem.reason;
			return nullptr;
		}
	}
	fs::path path = fs::path(fDirectory) / (name + ".so");
	std::error_code error;
	if (!fs::exists(path, error)) {
		if (reason)
			*reason = "no module file " + path.string();
		return nullptr;
	}
	std::string why;
	std::unique_ptr<Module> module = Module::Load(path.string(), &why);
	if (!module) {
		fProblems.push_back({path.string(), why});
		if (reason)
			*reason = why;
		return nullptr;
	}
	fModules.push_back(std::move(module));
	return fModules.back().get();
}

std::vector<Module*> ModuleCatalog::Loaded() const
{
	std::vector<Module*> loaded;
	for (const auto& module : fModules)
		loaded.push_back(module.get());
	std::sort(loaded.begin(), loaded.end(),
		[](Module* a, Module* b) { return a->Name() < b->Name(); });
	return loaded;
}

void ModuleCatalog::UnloadAll()
{
	// Unload in reverse order of loading. A module that a source thread
	// still runs in stays loaded, with its port table, for that thread.
	static auto* stillInUse = new std::vector<Module*>;
	while (!fModules.empty()) {
		if (fModules.back()->fKeepLoaded)
			stillInUse->push_back(fModules.back().release());
		fModules.pop_back();
	}
}

std::string DefaultModuleDirectory()
{
	char self[4096];
	ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
	if (n > 0) {
		self[n] = '\0';
		fs::path beside = fs::path(self).parent_path().parent_path() / "modules";
		std::error_code error;
		if (fs::is_directory(beside, error))
			return beside.string();
	}
	return VANTREL_BUILD_MODULE_DIR;
}

}  // namespace vantrel
