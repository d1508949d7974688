// glowctl: the set-up of many signs at once, from a script.
#include "glowctl/app/command_line.h"
#include "glowctl/run/report.h"
#include "glowctl/run/sign_job.h"
#include "glowset/core/options/option_sets.h"
#include "glowset/core/platform/local_time.h"
#include "glowset/core/platform/qt_clock.h"
#include "glowset/core/platform/qt_serial_port.h"
#include "glowset/core/protocol/commands.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM reach the event loop through a pipe.
int signalPipe[2] = {-1, -1};
void onSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

int run(const glowctl::CommandLine& line) {
    using namespace glowctl;
    const QDateTime at =
        line.time.empty()
            ? QDateTime::currentDateTime()
            : QDateTime::fromString(QString::fromStdString(line.time), "yyyy-MM-dd HH:mm:ss");
    if (!at.isValid()) {
        std::fprintf(stderr, "glowctl: %s is no time\nTry 'glowctl --help'.\n", line.time.c_str());
        return kBadCommandLine;
    }
    const ports::PortEnvironment system = ports::systemPortEnvironment();
    std::vector<std::string> names = line.ports;
    const bool everyPort = names.empty();
    if (everyPort) {
        for (int n = 1; n <= glowset::kPortCount; ++n) names.push_back("COM" + std::to_string(n));
    }
    glowset::QtClock clock;
    const auto makeDevice = [](const ports::PortEnvironment& environment) {
        return std::make_unique<glowset::QtSerialPort>(environment);
    };
    std::vector<std::unique_ptr<SignJob>> jobs;
    for (const std::string& name : names) {
        auto port = choosePort(name, system);
        if (!port) {
            std::fprintf(stderr,
                         "glowctl: '%s' is no port: COM1 to COM12, a device path, or "
                         "rfc2217://host:port or socket://host:port\n",
                         name.c_str());
            return kBadCommandLine;
        }
        JobOptions options;
        options.verb = line.verb;
        options.file = fileForPort(line.file, name);
        options.dryRun = line.dryRun;
        options.force = line.force;
        options.anyModel = line.anyModel;
        options.clockLine = glowset::clockCommand(glowset::localTimeOf(at)) + glowset::kCommandEnd;
        options.text = line.text.value_or("");
        options.codes = line.codes;
        options.id = std::max(line.id, 0);
        options.priority = std::max(line.priority, 0);
        options.beep = line.beep;
        options.timeout = line.timeout;
        jobs.push_back(std::make_unique<SignJob>(clock, *port, makeDevice, std::move(options)));
    }
    size_t running = jobs.size();
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (::pipe(signalPipe) == 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, [&jobs] {
            char byte = 0;
            if (::read(signalPipe[0], &byte, 1) != 1) return;
            for (auto& job : jobs) job->interrupt(byte);
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    for (auto& job : jobs) {
        const std::string name = job->result().port;
        job->start(
            [&line, name](const std::string& what) {
                if (!line.quiet) std::fprintf(stderr, "%s: %s\n", name.c_str(), what.c_str());
            },
            [&running] {
                if (--running == 0) QCoreApplication::quit();
            });
    }
    if (running > 0) QCoreApplication::exec();

    std::vector<JobResult> results;
    int exitCode = kDone;
    bool anyFound = false;
    for (const auto& job : jobs) {
        const JobResult& r = job->result();
        results.push_back(r);
        anyFound = anyFound || r.found;
        // Searching every port, a port without a sign is no failure.
        if (everyPort) continue;
        exitCode = std::max(exitCode, r.exitCode);
        if (!r.error.empty()) std::fprintf(stderr, "%s: %s\n", r.port.c_str(), r.error.c_str());
    }
    if (everyPort) {
        std::erase_if(results, [](const JobResult& r) { return !r.found; });
        if (!anyFound) {
            std::fprintf(stderr, "glowctl: %s\n", glowset::noSignAnsweredText().c_str());
            exitCode = kSignSilent;
        }
    } else if (line.verb == Verb::Find && anyFound) {
        exitCode = kDone;  // find succeeds when it finds a sign; the others are said above
    }
    const std::string report =
        line.json ? reportJson(line.verb, results) : reportText(line.verb, results);
    std::fputs(report.c_str(), stdout);
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const glowctl::ParsedCommandLine parsed = glowctl::parseCommandLine(arguments);
    if (!parsed.line) {
        std::fprintf(stderr, "glowctl: %s\nTry 'glowctl --help'.\n", parsed.problem.c_str());
        return glowctl::kBadCommandLine;
    }
    if (parsed.line->help) {
        std::fputs(glowctl::helpText().c_str(), stdout);
        return 0;
    }
    if (parsed.line->version) {
        std::printf("glowctl %s\n", MARQUELLE_VERSION);
        return 0;
    }
    return run(*parsed.line);
}
