// vantrel: lists modules and runs diagrams from the command line.

#include <vantrel/Actions.h>
#include <vantrel/Diagram.h>
#include <vantrel/FileActions.h>
#include <vantrel/Runtime.h>
#include <vantrel/Streams.h>

#include <Alert.h>

#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

using namespace vantrel;

namespace {

std::atomic<bool> sInterrupted{false};

void OnSignal(int)
{
	sInterrupted = true;
}

std::string VersionText(const version_info& v)
{
	return std::to_string(v.major) + "." + std::to_string(v.middle) + "." + std::to_string(v.minor);
}

int ListModules(const std::string& directory, bool json)
{
	RuntimeOptions options;
	options.moduleDirectory = directory;
	Runtime runtime(options);
	ModuleCatalog& catalog = runtime.Catalog();
	catalog.LoadAll();
	if (json) {
		Json out = Json::object();
		out["directory"] = catalog.Directory();
		Json modules = Json::array();
		for (Module* module : catalog.Loaded()) {
			Json entry{{"name", module->Name()}, {"description", module->Description()}};
			Json ports = Json::array();
			for (const PortInfo& port : module->Ports())
				ports.push_back(Json{{"name", port.name}, {"kind", FourCC(port.kind)},
					{"role", KindName(port.kind)}});
			entry["ports"] = ports;
			if (module->HasHelpFile())
				entry["help"] = module->HelpFile();
			entry["signature"] = module->Signature();
			if (module->HasVersion()) {
				const version_info& v = module->Version();
				entry["version"] = Json{{"version", VersionText(v)}, {"short", v.short_info},
					{"long", v.long_info}};
			}
			modules.push_back(entry);
		}
		out["modules"] = modules;
		Json problems = Json::array();
		for (const ScanProblem& problem : catalog.Problems())
			problems.push_back(Json{{"file", problem.file}, {"reason", problem.reason}});
		out["problems"] = problems;
		std::cout << out.dump(2) << "\n";
	} else {
		std::cout << "Modules in " << catalog.Directory() << ":\n";
		for (Module* module : catalog.Loaded()) {
			std::cout << "\n" << module->Name() << ": " << module->Description() << "\n";
			for (const PortInfo& port : module->Ports())
				std::cout << "    port " << (port.name.empty() ? "(unnamed)" : "\"" + port.name + "\"")
						  << "  " << KindName(port.kind) << " '" << FourCC(port.kind) << "'\n";
			if (module->HasHelpFile())
				std::cout << "    help " << module->HelpFile() << "\n";
			if (module->HasVersion()) {
				const version_info& v = module->Version();
				std::cout << "    version " << VersionText(v) << "  " << v.short_info << ": "
						  << v.long_info << "\n";
			}
		}
	}
	for (const ScanProblem& problem : catalog.Problems())
		std::cerr << "vantrel: " << problem.file << ": " << problem.reason << "\n";
	return 0;
}

struct RunOptions {
	std::string diagram;
	std::string modules;
	double seconds = -1;
	bool untilIdle = false;
	double idleMs = 300;
	std::string save;
	std::string stdinTo;
	std::vector<std::string> stdoutFrom;
};

int RunDiagram(const RunOptions& run)
{
	// A closed standard output ends the printing, not the run.
	std::signal(SIGPIPE, SIG_IGN);
	DiagramPlan plan = ReadDiagram(run.diagram);
	RegisterFileActions();
	std::vector<TimedAction> actions = ParseActions(plan, run.diagram);
	RuntimeOptions options;
	options.moduleDirectory = run.modules;
	Runtime runtime(options);
	Instantiate(runtime, plan, run.diagram);
	std::vector<std::unique_ptr<StreamTap>> taps;
	for (const std::string& port : run.stdoutFrom)
		taps.push_back(std::make_unique<StreamTap>(runtime, port));
	std::unique_ptr<StreamFeeder> feeder;
	if (!run.stdinTo.empty())
		feeder = std::make_unique<StreamFeeder>(runtime, run.stdinTo);
	runtime.Start();
	if (feeder)
		feeder->Start();
	ActionSchedule schedule(runtime, std::move(actions));

	std::signal(SIGINT, OnSignal);
	std::signal(SIGTERM, OnSignal);
	bigtime_t start = system_time();
	bigtime_t limit = run.seconds >= 0 ? bigtime_t(run.seconds * 1e6) : -1;
	bool untilIdle = run.untilIdle || run.seconds < 0;
	bigtime_t quiet = bigtime_t(run.idleMs * 1000);
	while (!sInterrupted) {
		bigtime_t elapsed = system_time() - start;
		schedule.RunDue(double(elapsed) / 1e6);
		if (limit >= 0 && elapsed >= limit)
			break;
		// Idle only counts once every action has run.
		if (untilIdle && schedule.Done() && runtime.WaitIdle(quiet, 20000))
			break;
		if (!untilIdle || !schedule.Done()) {
			bigtime_t pause = 20000;
			if (limit >= 0)
				pause = std::min(pause, limit - elapsed);
			if (!schedule.Done())
				pause = std::min(pause, bigtime_t(schedule.NextIn(double(elapsed) / 1e6) * 1e6));
			snooze(std::max<bigtime_t>(pause, 100));
		}
	}
	// Alerts cannot be seen without a screen; list them.
	for (const platform_alert_record& alert : platform_shown_alerts())
		std::cerr << "vantrel: alert \"" << alert.title << "\": " << alert.text << "\n";

	if (feeder)
		feeder->Stop();
	if (!run.save.empty()) {
		Json saved = SaveDiagram(runtime, plan);
		std::ofstream out(run.save);
		if (!out)
			throw UserError(run.save + ": cannot write the diagram file");
		out << saved.dump(2) << "\n";
		if (!out)
			throw UserError(run.save + ": writing the diagram file failed");
	}
	std::vector<std::string> stuck = runtime.Shutdown();
	taps.clear();
	for (const std::string& port : stuck)
		std::cerr << "vantrel: module " << port << " did not return after the element was closed\n";
	return stuck.empty() ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv)
{
	CLI::App app{"vantrel: loads stream-processing modules and runs diagrams"};
	app.require_subcommand(1);
	std::string modules;
	app.add_option("--modules", modules, "folder of module files (default: this build's)");

	bool json = false;
	CLI::App* list = app.add_subcommand("modules", "list every module with its ports");
	list->add_flag("--json", json, "print the list as JSON");

	RunOptions run;
	CLI::App* runCommand = app.add_subcommand("run", "run a diagram");
	runCommand->add_option("diagram", run.diagram, "diagram file (JSON)")->required();
	auto* forOption = runCommand->add_option("--for", run.seconds, "run for this many seconds");
	auto* idleOption = runCommand->add_flag("--until-idle", run.untilIdle,
		"stop when no items have moved for a while (the default)");
	runCommand->add_option("--idle-ms", run.idleMs, "how long counts as idle, in milliseconds");
	runCommand->add_option("--save", run.save, "write the diagram with every element's state");
	runCommand->add_option("--stdin-to", run.stdinTo,
		"feed standard input into this in-line port (element.Port) as data chunks");
	runCommand->add_option("--stdout-from", run.stdoutFrom,
		"print the text and data items leaving this port (element.Port) on standard output");
	forOption->check(CLI::NonNegativeNumber);
	(void)idleOption;

	try {
		app.parse(argc, argv);
	} catch (const CLI::ParseError& error) {
		return app.exit(error);
	}
	run.modules = modules;
	try {
		if (list->parsed())
			return ListModules(modules, json);
		return RunDiagram(run);
	} catch (const UserError& error) {
		std::cerr << "vantrel: " << error.what() << "\n";
		return 2;
	}
}
