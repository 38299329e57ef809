#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <set>

#include "cli/commands.h"
#include "engine/bitmap_file.h"
#include "engine/icon_file.h"
#include "engine/icon_source.h"

namespace nobrelt::cli {
namespace {

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// Shows which source is being worked on, where many are given and stderr is a terminal.
class Progress {
public:
    Progress(std::ostream& err, std::size_t total) : err_(err), total_(total), shown_(total > 1 && ::isatty(2)) {}
    ~Progress() {
        if (shown_) err_ << "\r\033[K" << std::flush;
    }
    void Step(std::size_t index, const std::string& source) {
        if (shown_) err_ << "\r\033[K[" << index << "/" << total_ << "] " << FileNameOf(source) << std::flush;
    }
    // Keeps a message on a line of its own.
    std::ostream& Message() {
        if (shown_) err_ << "\r\033[K";
        return err_;
    }

private:
    std::ostream& err_;
    std::size_t total_;
    bool shown_;
};

struct Tally {
    std::size_t written = 0;
    bool failed = false;
};

void ExtractSource(const std::string& path, const std::filesystem::path& directory, const ExtractOptions& options,
                   Progress& progress, Tally& tally) {
    auto fail = [&](const std::string& message) {
        progress.Message() << "nobrelt-cli: " << message << "\n";
        tally.failed = true;
    };
    auto source = IconSource::Open(path);
    if (!source) return fail(source.reason());

    std::vector<std::size_t> groups;
    for (std::int32_t group : options.groups) {
        if (static_cast<std::size_t>(group) > source->groupCount()) {
            fail(path + ": no group " + std::to_string(group) + " (it has " + std::to_string(source->groupCount()) + ")");
        } else {
            groups.push_back(static_cast<std::size_t>(group));
        }
    }
    if (options.groups.empty())
        for (std::size_t n = 1; n <= source->groupCount(); ++n) groups.push_back(n);
    if (groups.empty()) return;

    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) return fail("cannot create " + directory.string() + ": " + error.message());

    for (std::size_t n : groups) {
        auto set = source->LoadGroup(n);
        if (!set) {
            fail(set.reason());
            continue;
        }
        const std::string output = (directory / (std::to_string(n) + (options.bitmap ? ".bmp" : ".ico"))).string();
        Status written;
        if (!options.bitmap) {
            written = WriteIconFileDetailed(*set, output);
        } else if (set->images.empty()) {
            written = Failure{"group " + std::to_string(n) + " has no images"};
        } else {
            written = WriteBitmapFileDetailed(output, set->images.front());
        }
        if (!written) {
            fail(path + ": " + written.reason());
            continue;
        }
        ++tally.written;
    }
}

}  // namespace

int RunExtract(const ExtractOptions& options, std::ostream& out, std::ostream& err) {
    const bool severalSources = options.sources.size() > 1;
    if (severalSources) {
        std::set<std::string> names;
        for (const auto& source : options.sources) {
            if (!names.insert(FileNameOf(source)).second) {
                err << "nobrelt-cli: two sources share the file name '" << FileNameOf(source)
                    << "'; extract them one at a time\n";
                return kExitUsage;
            }
        }
    }
    Tally tally;
    {
        Progress progress(err, options.sources.size());
        for (std::size_t i = 0; i < options.sources.size(); ++i) {
            const std::string& source = options.sources[i];
            progress.Step(i + 1, source);
            std::filesystem::path directory(options.outputDirectory);
            if (severalSources) directory /= FileNameOf(source);
            ExtractSource(source, directory, options, progress, tally);
        }
    }
    if (!options.quiet) {
        out << "wrote " << tally.written << (options.bitmap ? " bitmap" : " icon") << (tally.written == 1 ? " file" : " files")
            << " to " << options.outputDirectory << "\n";
    }
    return tally.failed ? kExitFailure : kExitSuccess;
}

}  // namespace nobrelt::cli
