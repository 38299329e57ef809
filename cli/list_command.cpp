#include <ostream>

#include "cli/commands.h"
#include "cli/group_report.h"
#include "engine/icon_group_loader.h"
#include "engine/icon_source.h"

namespace nobrelt::cli {

int RunList(const ListOptions& options, std::ostream& out, std::ostream& err) {
    auto source = IconSource::Open(options.source);
    if (!source) {
        err << "nobrelt-cli: " << source.reason() << "\n";
        return kExitFailure;
    }
    int status = kExitSuccess;
    nlohmann::ordered_json groups = nlohmann::ordered_json::array();
    for (std::size_t n = 1; n <= source->groupCount(); ++n) {
        const ResourceName name = *source->groupName(n);
        auto set = source->LoadGroup(n);
        if (!set) {
            err << "nobrelt-cli: " << set.reason() << "\n";
            status = kExitFailure;
        }
        if (options.json) {
            nlohmann::ordered_json group = {{"group", n}, {"name", NameJson(name)}};
            if (set) group["images"] = ImagesJson(*set);
            else group["error"] = set.reason();
            groups.push_back(std::move(group));
        } else {
            out << n << '\t' << DescribeResourceName(name) << '\t' << (set ? ImagesText(*set) : "unreadable") << '\n';
        }
    }
    if (options.json) out << groups.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return status;
}

}  // namespace nobrelt::cli
