// A loaded module file: its exports, its registration and its resources.
#pragma once

#include <ZModule.h>

#include <AppFileInfo.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel {

struct PortInfo {
	std::string name;
	uint32 kind = 0;
	ZPortFunc function = nullptr;

	bool IsSource() const { return kind == Z_DSRC; }
	bool IsInline() const { return kind == Z_FILT || kind == Z_FLT1; }
};

std::string FourCC(uint32 code);
std::string KindName(uint32 kind);

class Module {
public:
	// Loads the module file; on failure returns null and sets the reason.
	static std::unique_ptr<Module> Load(const std::string& path, std::string* reason);
	~Module();

	const std::string& Name() const { return fName; }
	const std::string& Path() const { return fPath; }
	const std::string& Description() const { return fDescription; }
	const std::string& HelpFile() const { return fHelpFile; }
	bool HasHelpFile() const { return fHasHelpFile; }
	const std::vector<PortInfo>& Ports() const { return fPorts; }
	const PortInfo* FindPort(const std::string& name) const;
	int PortIndex(const std::string& name) const;

	const std::string& Signature() const { return fSignature; }
	bool HasVersion() const { return fHasVersion; }
	const version_info& Version() const { return fVersion; }
	bool HasMiniIcon() const { return fHasMiniIcon; }
	bool HasLargeIcon() const { return fHasLargeIcon; }

	// Exports; the optional ones may be null.
	OpenElemFunc openElem = nullptr;
	CloseElemFunc closeElem = nullptr;
	TerminateElemFunc terminateElem = nullptr;
	ShutDownFunc shutDown = nullptr;
	LabelElemFunc labelElem = nullptr;
	PanelFunc panel = nullptr;
	SaveStateFunc saveState = nullptr;
	SetStateFunc setState = nullptr;
	LoadCompleteFunc loadComplete = nullptr;

	// Keeps the library loaded at destruction (a thread may still run in it).
	void KeepLoaded() { fKeepLoaded = true; }
	void SkipShutDown() { fSkipShutDown = true; }

private:
	friend class ModuleCatalog;
	Module() = default;

	std::string fName;
	std::string fPath;
	std::string fDescription;
	std::string fHelpFile;
	bool fHasHelpFile = false;
	std::vector<PortInfo> fPorts;
	std::string fSignature;
	version_info fVersion{};
	bool fHasVersion = false;
	bool fHasMiniIcon = false;
	bool fHasLargeIcon = false;
	void* fHandle = nullptr;
	bool fKeepLoaded = false;
	bool fSkipShutDown = false;
};

struct ScanProblem {
	std::string file;
	std::string reason;
};

// The module files of a folder, loaded on demand by name.
class ModuleCatalog {
public:
	explicit ModuleCatalog(std::string directory);
	~ModuleCatalog();

	const std::string& Directory() const { return fDirectory; }
	// Loads every module file of the folder; files that fail are listed.
	void LoadAll();
	// The module of that name (file NAME.so), loading it on first use.
	Module* Get(const std::string& name, std::string* reason);
	std::vector<Module*> Loaded() const;
	const std::vector<ScanProblem>& Problems() const { return fProblems; }
	// Every module name the folder offers.
	std::vector<std::string> Available() const;
	// Calls ShutDown on every module and unloads them.
	void UnloadAll();

private:
	std::string fDirectory;
	std::vector<std::unique_ptr<Module>> fModules;
	std::vector<ScanProblem> fProblems;
};

// The module folder of this build, or the one next to the executable.
std::string DefaultModuleDirectory();

}  // namespace vantrel
